// FontDialog: the lists, the mapping to the renderer's font and the rendered preview.
#include "gui/overlay/font_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "gui/controls/colour_button.h"
#include "gui/controls/dialog_buttons.h"
#include "gui/controls/image_bridge.h"
#include "gui/support/string_table.h"
#include "overlay/font_face.h"

namespace tavelune::gui {
namespace {

enum Style { kRegular, kBold, kItalic, kBoldItalic };

constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr int kMaxPoints = 999;
constexpr int kSampleLines = 3;
constexpr int kSampleChars = 60;
constexpr int kPreviewPoints = 20;

QString sampleText(const QString& sample)
{
    QStringList lines = sample.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
    if (lines.isEmpty())
        return text(Strings::FontSampleText);
    lines = lines.mid(0, kSampleLines);
    for (QString& line : lines) line.truncate(kSampleChars);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

FontDialog::FontDialog(const FontChoice& initial, const QString& sample, QWidget* parent)
    : QDialog(parent), m_initial(initial), m_sample(sampleText(sample))
{
    setWindowTitle(text(Strings::FontDialogTitle));

    m_face = new QComboBox(this);
    m_face->setObjectName(QStringLiteral("face"));
    QStringList faces;
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isSmoothlyScalable(family) && !QFontDatabase::isPrivateFamily(family))
            faces << family;
    const QString initialFace = QString::fromStdString(initial.font.faceName);
    // A face the system lacks stays as asked for; the renderer substitutes it as it would on
    // the photo, and the preview shows that.
    if (!initialFace.isEmpty() && !faces.contains(initialFace))
        faces.prepend(initialFace);
    m_face->addItems(faces);
    m_face->setCurrentText(initialFace);
    m_face->setMaxVisibleItems(16);
    m_face->setMinimumContentsLength(18);
    m_face->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    m_style = new QComboBox(this);
    m_style->setObjectName(QStringLiteral("style"));
    for (int id :
         {Strings::FontRegular, Strings::FontBold, Strings::FontItalic, Strings::FontBoldItalic})
        m_style->addItem(text(id));
    const bool bold = initial.font.weight != kWeightNormal;
    m_style->setCurrentIndex(bold ? (initial.font.italic ? kBoldItalic : kBold)
                                  : (initial.font.italic ? kItalic : kRegular));

    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("size"));
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    for (int points : kSizes) m_size->addItem(QString::number(points));
    m_size->lineEdit()->setValidator(new QIntValidator(1, kMaxPoints, m_size));
    m_size->setEditText(QString::number(fontPointsForHeight(initial.font.height)));
    m_size->setMinimumContentsLength(4);

    m_strikeOut = new QCheckBox(text(Strings::FontStrikeOut), this);
    m_strikeOut->setObjectName(QStringLiteral("strikeOut"));
    m_strikeOut->setChecked(initial.font.strikeOut);
    m_underline = new QCheckBox(text(Strings::FontUnderline), this);
    m_underline->setObjectName(QStringLiteral("underline"));
    m_underline->setChecked(initial.font.underline);
    m_colour = new ColourButton(this);
    m_colour->setObjectName(QStringLiteral("colour"));
    m_colour->setNoColourAllowed(false);
    m_colour->setColour(int(initial.colour & 0xFFFFFF));

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    // Room for the sample at 20 points, the largest size a signature usually takes.
    {
        FontChoice large = initial;
        large.font.height = fontHeightForPoints(kPreviewPoints);
        const Image sample = fontSample(large, m_sample.toStdString(), 4);
        m_preview->setFixedSize(std::clamp(sample.width() + 8, 320, 560),
                                std::clamp(sample.height() + 8, 96, 240));
    }
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(text(Strings::FontFamilyLabel), this), 0, 0);
    lists->addWidget(new QLabel(text(Strings::FontStyleLabel), this), 0, 1);
    lists->addWidget(new QLabel(text(Strings::FontSizeLabel), this), 0, 2);
    lists->addWidget(m_face, 1, 0);
    lists->addWidget(m_style, 1, 1);
    lists->addWidget(m_size, 1, 2);
    lists->setColumnStretch(0, 1);

    auto* effects = new QGroupBox(text(Strings::FontEffectsGroup), this);
    auto* effectsLayout = new QGridLayout(effects);
    effectsLayout->addWidget(m_strikeOut, 0, 0, 1, 2);
    effectsLayout->addWidget(m_underline, 1, 0, 1, 2);
    effectsLayout->addWidget(new QLabel(text(Strings::ColourLabel), effects), 2, 0);
    effectsLayout->addWidget(m_colour, 2, 1, Qt::AlignLeft);
    effectsLayout->setRowStretch(3, 1);

    auto* sampleBox = new QGroupBox(text(Strings::FontSampleGroup), this);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_preview);
    // The face asked for may not exist here; the one drawn is said, so no one is surprised.
    m_faceUsed = new QLabel(this);
    m_faceUsed->setObjectName(QStringLiteral("faceUsed"));
    sampleLayout->addWidget(m_faceUsed);

    auto* middle = new QHBoxLayout;
    middle->addWidget(effects);
    middle->addWidget(sampleBox, 1);

    QDialogButtonBox* buttons =
        okCancelButtons(this, Strings::FontOkButton, Strings::FontCancelButton).box;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(middle);
    layout->addWidget(buttons);

    connect(m_face, &QComboBox::currentTextChanged, this, &FontDialog::updatePreview);
    connect(m_style, &QComboBox::activated, this, [this] {
        m_styleEdited = true;
        updatePreview();
    });
    connect(m_size, &QComboBox::currentTextChanged, this, [this] {
        m_sizeEdited = true;
        updatePreview();
    });
    connect(m_strikeOut, &QCheckBox::toggled, this, &FontDialog::updatePreview);
    connect(m_underline, &QCheckBox::toggled, this, &FontDialog::updatePreview);
    connect(m_colour, &ColourButton::colourChanged, this, &FontDialog::updatePreview);
    updatePreview();
}

FontChoice FontDialog::choice() const
{
    FontChoice chosen = m_initial;
    chosen.font.faceName = m_face->currentText().toStdString();
    if (m_styleEdited) {
        const int style = m_style->currentIndex();
        chosen.font.weight = style == kBold || style == kBoldItalic ? kWeightBold : kWeightNormal;
        chosen.font.italic = style == kItalic || style == kBoldItalic;
    }
    const int points = m_size->currentText().toInt();
    if (m_sizeEdited && points > 0)
        chosen.font.height = fontHeightForPoints(points);
    chosen.font.underline = m_underline->isChecked();
    chosen.font.strikeOut = m_strikeOut->isChecked();
    if (m_colour->colour() >= 0)
        chosen.colour = uint32_t(m_colour->colour());
    return chosen;
}

void FontDialog::updatePreview()
{
    const FontChoice chosen = choice();
    const Image sample = fontSample(chosen, m_sample.toStdString(), 4);
    m_previewImage = toQImage(sample);
    // What does not fit is cut off, never scaled: the preview shows real pixel sizes.
    QPixmap pixmap(m_preview->contentsRect().size());
    pixmap.fill(QColor(fromColourRef(textBoxBackground(chosen.colour))));
    if (!m_previewImage.isNull()) {
        QPainter painter(&pixmap);
        const int x = std::max(0, (pixmap.width() - m_previewImage.width()) / 2);
        const int y = std::max(0, (pixmap.height() - m_previewImage.height()) / 2);
        painter.drawImage(x, y, m_previewImage);
    }
    m_preview->setPixmap(pixmap);
    const std::unique_ptr<FontFace> face =
        FontFace::create({chosen.font.faceName, chosen.font.height,
                          chosen.font.weight != kWeightNormal, chosen.font.italic});
    m_faceUsed->setText(
        text(Strings::FontFaceUsed).arg(face ? QString::fromStdString(face->family()) : QString()));
}

std::optional<FontChoice> FontDialog::ask(const FontChoice& initial, const QString& sample,
                                          QWidget* parent)
{
    FontDialog dialog(initial, sample, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

}  // namespace tavelune::gui
