// The setting pages on their tabs.
#include "gui/tabs/setting_tabs.h"

#include "gui/film/film_page.h"
#include "gui/overlay/border_page.h"
#include "gui/overlay/overlay_page.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

SettingTabs::SettingTabs(QWidget* parent)
    : QTabWidget(parent),
      m_film(new FilmPage(this)),
      m_watermark(new OverlayPage(OverlayPage::Kind::Watermark, this)),
      m_signature(new OverlayPage(OverlayPage::Kind::Signature, this)),
      m_border(new BorderPage(this))
{
    m_film->setObjectName("filmPage");
    m_watermark->setObjectName("watermarkPage");
    m_signature->setObjectName("signaturePage");
    m_border->setObjectName("borderPage");
    addTab(m_film, text(Strings::FilmTab));
    addTab(m_watermark, text(Strings::WatermarkTab));
    addTab(m_signature, text(Strings::SignatureTab));
    addTab(m_border, text(Strings::FrameTab));
}

ConversionSettings SettingTabs::settings() const
{
    ConversionSettings settings;
    settings.film = m_film->settings();
    settings.watermark = m_watermark->settings();
    settings.signature = m_signature->settings();
    settings.border = m_border->settings();
    return settings;
}

void SettingTabs::setSettings(const ConversionSettings& settings)
{
    m_film->setSettings(settings.film);
    m_watermark->setSettings(settings.watermark);
    m_signature->setSettings(settings.signature);
    m_border->setSettings(settings.border);
}

void SettingTabs::setCurrentImageDpi(double dpi)
{
    m_watermark->setCurrentImageDpi(dpi);
    m_signature->setCurrentImageDpi(dpi);
    m_border->setCurrentImageDpi(dpi);
}

void SettingTabs::setTagPictureSource(const TagPictureSource& source)
{
    m_watermark->setTagPictureSource(source);
    m_signature->setTagPictureSource(source);
}

void SettingTabs::setPreviewPicture(const Image* picture, const std::vector<std::uint8_t>& icc,
                                    const Image* inks)
{
    m_film->setFilmStripShown(true);
    m_film->setPreviewPicture(picture, icc, inks);
}

}  // namespace tavelune::gui
