// OverlayPage: controls, their rules and the settings they give the conversion job.
#include "gui/overlay/overlay_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/controls/colour_button.h"
#include "gui/overlay/font_dialog.h"
#include "gui/overlay/open_picture.h"
#include "gui/overlay/page_band.h"
#include "gui/overlay/picture_preview.h"
#include "gui/overlay/tag_menu.h"
#include "gui/support/shown_boxes.h"
#include "gui/support/string_table.h"
#include "overlay/picture_file.h"
#include "overlay/unit_fields.h"

namespace tavelune::gui {
namespace {

QFont textBoxFont(const OverlayFont& font, const QFont& base)
{
    QFont shown = base;
    shown.setFamilies({QString::fromStdString(font.faceName)});
    if (font.height != 0)
        shown.setPixelSize(std::abs(font.height));
    shown.setWeight(QFont::Weight(std::clamp(font.weight, 100, 900)));
    shown.setItalic(font.italic);
    shown.setUnderline(font.underline);
    shown.setStrikeOut(font.strikeOut);
    return shown;
}

QPushButton* button(int textId, int tipId, const char* name, QWidget* parent)
{
    auto* made = new QPushButton(text(textId), parent);
    made->setToolTip(text(tipId));
    made->setObjectName(QLatin1String(name));
    return made;
}

}  // namespace

OverlayPage::OverlayPage(Kind kind, QWidget* parent)
    : QWidget(parent),
      m_kind(kind),
      m_model(kind == Kind::Signature ? OverlaySettings::signature() : OverlaySettings::watermark())
{
    buildControls();
    setSettings(m_model);
}

void OverlayPage::buildControls()
{
    // Made in this order: it is the order Tab walks.
    m_enable = new QCheckBox(
        text(m_kind == Kind::Signature ? Strings::SignatureEnabled : Strings::WatermarkEnabled),
        this);
    m_enable->setObjectName(QStringLiteral("enable"));
    m_textMode = new QRadioButton(text(Strings::OverlayTextMode), this);
    m_textMode->setObjectName(QStringLiteral("textMode"));
    m_pictureMode = new QRadioButton(text(Strings::OverlayPictureMode), this);
    m_pictureMode->setObjectName(QStringLiteral("pictureMode"));
    createPositionGroup();
    createOverlayControls();
    layOutPage();
    connectControls();
}

void OverlayPage::createPositionGroup()
{
    m_position = new QGroupBox(text(Strings::OverlayPositionGroup), this);
    m_horizontal = new QComboBox(m_position);
    m_horizontal->setObjectName(QStringLiteral("horizontal"));
    for (int id : {Strings::AlignLeft, Strings::AlignCentre, Strings::AlignRight})
        m_horizontal->addItem(text(id));
    m_vertical = new QComboBox(m_position);
    m_vertical->setObjectName(QStringLiteral("vertical"));
    for (int id : {Strings::AlignTop, Strings::AlignMiddle, Strings::AlignBottom})
        m_vertical->addItem(text(id));
    m_offsetX = makeNumberField(true, m_position);
    m_offsetX->setObjectName(QStringLiteral("offsetX"));
    m_offsetY = makeNumberField(true, m_position);
    m_offsetY->setObjectName(QStringLiteral("offsetY"));
    m_unitList = new QComboBox(m_position);
    m_unitList->setObjectName(QStringLiteral("unit"));
    fillUnitList(m_unitList);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("-0000.000")) + 8;
    m_offsetX->setFixedWidth(fieldWidth);
    m_offsetY->setFixedWidth(fieldWidth);
}

void OverlayPage::createOverlayControls()
{
    m_opacityLabel = new QLabel(text(Strings::OpacityLabel), this);
    m_opacity = new OpacityField(this);
    m_opacity->setObjectName(QStringLiteral("opacity"));
    m_opacity->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setToolTip(text(Strings::OverlayTextTip));
    m_text->setTabChangesFocus(true);
    m_font = button(Strings::OverlayFontButton, Strings::FontTip, "font", this);
    m_insert = button(Strings::OverlayInsertButton, Strings::InsertTagTip, "insert", this);

    m_preview = new PicturePreview(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_open = button(Strings::OverlayOpenButton, Strings::OpenTip, "open", this);
    m_remove = button(Strings::OverlayRemoveButton, Strings::CloseTip, "remove", this);
    m_transparentLabel = new QLabel(text(Strings::SeeThroughColourLabel), this);
    m_transparentLabel->setObjectName(QStringLiteral("transparentLabel"));
    m_transparent = new ColourButton(this);
    m_transparent->setObjectName(QStringLiteral("transparentColour"));
    m_transparent->setToolTip(text(Strings::TransparentColourTip));
}

void OverlayPage::layOutPosition()
{
    auto* position = new QGridLayout(m_position);
    position->setContentsMargins(6, 2, 6, 4);
    position->setHorizontalSpacing(4);
    position->setVerticalSpacing(3);
    position->addWidget(new QLabel(text(Strings::OverlayAcrossLabel), m_position), 0, 0);
    position->addWidget(m_horizontal, 0, 1);
    position->addWidget(new QLabel(text(Strings::OverlayOffsetLabel), m_position), 0, 2);
    position->addWidget(m_offsetX, 0, 3);
    position->addWidget(new QLabel(text(Strings::OverlayDownLabel), m_position), 1, 0);
    position->addWidget(m_vertical, 1, 1);
    position->addWidget(new QLabel(text(Strings::OverlayOffsetLabel), m_position), 1, 2);
    position->addWidget(m_offsetY, 1, 3);
    position->addWidget(new QLabel(text(Strings::OverlayUnitLabel), m_position), 2, 0);
    position->addWidget(m_unitList, 2, 1);
    position->setColumnStretch(1, 1);
}

QLayout* OverlayPage::layOutTextAndPicture()
{
    // Text and picture controls share their places; the mode shows one set.
    auto* right = new QGridLayout;
    right->setHorizontalSpacing(4);
    right->setVerticalSpacing(4);
    right->addWidget(m_text, 0, 0, 3, 1);
    right->addWidget(m_preview, 0, 0, 2, 1);
    right->addWidget(m_font, 0, 1);
    right->addWidget(m_open, 0, 1);
    right->addWidget(m_insert, 1, 1);
    right->addWidget(m_remove, 1, 1);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(m_transparentLabel);
    keyRow->addWidget(m_transparent);
    keyRow->addStretch(1);
    right->addLayout(keyRow, 2, 0, 1, 2);
    right->setRowStretch(0, 1);
    right->setRowStretch(1, 1);
    right->setColumnStretch(0, 1);
    return right;
}

void OverlayPage::layOutPage()
{
    // The band: the enable box and the mode buttons sit on it.
    auto* band = new QHBoxLayout;
    band->setContentsMargins(6, 0, 6, 0);
    band->addWidget(m_enable, 1);
    band->addWidget(m_textMode);
    band->addWidget(m_pictureMode);
    for (QWidget* onBand : {static_cast<QWidget*>(m_enable), static_cast<QWidget*>(m_textMode),
                            static_cast<QWidget*>(m_pictureMode)})
        onBand->setFixedHeight(kPageBandHeight - 1);

    layOutPosition();

    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(m_position);
    auto* opacityRow = new QHBoxLayout;
    opacityRow->addWidget(m_opacityLabel);
    opacityRow->addWidget(m_opacity);
    opacityRow->addStretch(1);
    left->addLayout(opacityRow);
    left->addStretch(1);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(6, 4, 6, 4);
    body->setSpacing(8);
    body->addLayout(left);
    body->addLayout(layOutTextAndPicture(), 1);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addLayout(band);
    page->addSpacing(1);
    page->addLayout(body, 1);
}

void OverlayPage::connectControls()
{
    connect(m_enable, &QCheckBox::toggled, this,
            [this](bool on) { enableChildrenExcept(this, m_enable, on); });
    connect(m_textMode, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setMode(OverlayMode::Text);
    });
    connect(m_pictureMode, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setMode(OverlayMode::Picture);
    });
    connect(m_unitList, &QComboBox::currentIndexChanged, this, &OverlayPage::changeUnit);
    connect(m_font, &QPushButton::clicked, this, &OverlayPage::chooseFont);
    connect(m_insert, &QPushButton::clicked, this, &OverlayPage::showTagMenu);
    connect(m_open, &QPushButton::clicked, this, [this] {
        const QString path = askPictureFile(this, QString::fromStdString(m_model.picturePath));
        if (!path.isEmpty())
            openPicture(path);
    });
    connect(m_remove, &QPushButton::clicked, this, &OverlayPage::removePicture);
    connect(m_preview, &PicturePreview::picturePasted, this, &OverlayPage::takePicture);
    connect(m_transparent, &ColourButton::colourChanged, this, [this](int colour) {
        m_model.setTransparentColour(colour);
        showPicture();
    });
}

void OverlayPage::paintEvent(QPaintEvent*)
{
    paintPageBand(this);
}

void OverlayPage::setMode(OverlayMode mode)
{
    const bool textMode = mode == OverlayMode::Text;
    for (QWidget* shown : {static_cast<QWidget*>(m_text), static_cast<QWidget*>(m_font),
                           static_cast<QWidget*>(m_insert)})
        shown->setVisible(textMode);
    for (QWidget* shown :
         {static_cast<QWidget*>(m_preview), static_cast<QWidget*>(m_open),
          static_cast<QWidget*>(m_remove), static_cast<QWidget*>(m_transparentLabel),
          static_cast<QWidget*>(m_transparent)})
        shown->setVisible(!textMode);
}

OverlaySettings OverlayPage::settings() const
{
    OverlaySettings settings = m_model;
    settings.enabled = m_enable->isChecked();
    settings.mode = m_textMode->isChecked() ? OverlayMode::Text : OverlayMode::Picture;
    settings.horizontal = m_horizontal->currentIndex();
    settings.vertical = m_vertical->currentIndex();
    settings.offsetX = numberFieldValue(m_offsetX);
    settings.offsetY = numberFieldValue(m_offsetY);
    settings.unit = selectedUnit(m_unitList);
    // A value typed but not yet left counts as it will once the field loses the focus.
    settings.opacity = opacityAfterEdit(m_opacity->value());
    settings.text = m_text->toPlainText().toStdString();
    return settings;
}

void OverlayPage::setSettings(const OverlaySettings& settings)
{
    m_model.font = settings.font;
    m_model.textColour = settings.textColour & 0xFFFFFF;
    m_model.picturePath = settings.picturePath;
    m_model.transparentColour = settings.transparentColour;
    if (settings.picture.isEmpty())
        m_model.removePicture();
    else
        m_model.setPicture(settings.picture);
    m_model.setTransparentColour(settings.transparentColour);

    const QSignalBlocker unitBlock(m_unitList);
    m_enable->setChecked(settings.enabled);
    enableChildrenExcept(this, m_enable, settings.enabled);
    (settings.mode == OverlayMode::Text ? m_textMode : m_pictureMode)->setChecked(true);
    setMode(settings.mode);
    m_horizontal->setCurrentIndex(std::clamp(settings.horizontal, 0, 2));
    m_vertical->setCurrentIndex(std::clamp(settings.vertical, 0, 2));
    selectUnit(m_unitList, settings.unit);
    m_unit = selectedUnit(m_unitList);
    setNumberField(m_offsetX, settings.offsetX);
    setNumberField(m_offsetY, settings.offsetY);
    m_opacity->setText(QString::number(std::clamp(settings.opacity, 0, 100)));
    m_text->setPlainText(QString::fromStdString(settings.text));
    m_transparent->setColour(settings.transparentColour);
    showFont();
    showPicture();
}

void OverlayPage::setCurrentImageDpi(double dpi)
{
    m_dpi = dpi > 0 ? dpi : 72;
}

void OverlayPage::changeUnit()
{
    OverlaySettings offsets;
    offsets.offsetX = numberFieldValue(m_offsetX);
    offsets.offsetY = numberFieldValue(m_offsetY);
    offsets.unit = m_unit;
    offsets.changeUnit(selectedUnit(m_unitList), m_dpi);
    m_unit = offsets.unit;
    setNumberField(m_offsetX, offsets.offsetX);
    setNumberField(m_offsetY, offsets.offsetY);
}

void OverlayPage::chooseFont()
{
    const std::optional<FontChoice> chosen =
        FontDialog::ask({m_model.font, m_model.textColour}, m_text->toPlainText(), this);
    if (!chosen)
        return;
    m_model.font = chosen->font;
    m_model.textColour = chosen->colour & 0xFFFFFF;
    showFont();
}

void OverlayPage::showFont()
{
    m_text->setFont(textBoxFont(m_model.font, font()));
    QPalette colours = m_text->palette();
    colours.setColor(QPalette::Text, fromColourRef(m_model.textColour));
    colours.setColor(QPalette::Base, fromColourRef(textBoxBackground(m_model.textColour)));
    m_text->setPalette(colours);
}

void OverlayPage::showTagMenu()
{
    gui::showTagMenu(m_insert, m_text, m_tagPicture ? m_tagPicture() : TagPicture{});
}

bool OverlayPage::openPicture(const QString& path)
{
    Image picture;
    const ImageStatus opened = openPictureFile(path.toStdString(), picture);
    showNotices(imageNotices(opened));
    if (!opened || !m_model.setPicture(picture))
        return false;
    m_model.picturePath = path.toStdString();
    showPicture();
    return true;
}

void OverlayPage::takePicture(const Image& source)
{
    if (!m_model.setPicture(source))
        return;
    m_model.picturePath.clear();
    showPicture();
}

void OverlayPage::removePicture()
{
    m_model.removePicture();
    m_model.picturePath.clear();
    showPicture();
}

void OverlayPage::showPicture()
{
    const Image& picture = m_model.picture;
    m_preview->showPicture(picture);
    m_preview->setToolTip(picture.isEmpty()
                              ? QString()
                              : QString::asprintf("%s (%d x %d)",
                                                  qUtf8Printable(text(Strings::OverlayPictureTip)),
                                                  picture.width(), picture.height()));
}

}  // namespace tavelune::gui
