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

// Scalable faces only: the renderer draws outlines.
QComboBox* makeFaceList(const QString& initialFace, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("face"));
    QStringList faces;
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isSmoothlyScalable(family) && !QFontDatabase::isPrivateFamily(family))
            faces << family;
    // A face the system lacks stays as asked for; the renderer substitutes it as it would on
    // the photo, and the preview shows that.
    if (!initialFace.isEmpty() && !faces.contains(initialFace))
        faces.prepend(initialFace);
    list->addItems(faces);
    list->setCurrentText(initialFace);
    list->setMaxVisibleItems(16);
    list->setMinimumContentsLength(18);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return list;
}

QComboBox* makeStyleList(const OverlayFont& initial, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("style"));
    for (int id :
         {Strings::FontRegular, Strings::FontBold, Strings::FontItalic, Strings::FontBoldItalic})
        list->addItem(text(id));
    const bool bold = initial.weight != kWeightNormal;
    list->setCurrentIndex(bold ? (initial.italic ? kBoldItalic : kBold)
                               : (initial.italic ? kItalic : kRegular));
    return list;
}

// Editable: any whole size up to kMaxPoints, the usual ones in the list.
QComboBox* makeSizeList(int initialHeight, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("size"));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    for (int points : kSizes) list->addItem(QString::number(points));
    list->lineEdit()->setValidator(new QIntValidator(1, kMaxPoints, list));
    list->setEditText(QString::number(fontPointsForHeight(initialHeight)));
    list->setMinimumContentsLength(4);
    return list;
}

QCheckBox* makeEffectBox(int textId, const char* name, bool checked, QWidget* parent)
{
    auto* box = new QCheckBox(text(textId), parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    return box;
}

}  // namespace

FontDialog::FontDialog(const FontChoice& initial, const QString& sample, QWidget* parent)
    : QDialog(parent), m_initial(initial), m_sample(sampleText(sample))
{
    setWindowTitle(text(Strings::FontDialogTitle));

    // Made in this order: it is the order Tab walks.
    m_face = makeFaceList(QString::fromStdString(initial.font.faceName), this);
    m_style = makeStyleList(initial.font, this);
    m_size = makeSizeList(initial.font.height, this);
    m_strikeOut = makeEffectBox(Strings::FontStrikeOut, "strikeOut", initial.font.strikeOut, this);
    m_underline = makeEffectBox(Strings::FontUnderline, "underline", initial.font.underline, this);
    m_colour = new ColourButton(this);
    m_colour->setObjectName(QStringLiteral("colour"));
    m_colour->setNoColourAllowed(false);
    m_colour->setColour(int(initial.colour & 0xFFFFFF));
    createPreview();
    layOut();

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

void FontDialog::createPreview()
{
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    // Room for the sample at 20 points, the largest size a signature usually takes.
    FontChoice large = m_initial;
    large.font.height = fontHeightForPoints(kPreviewPoints);
    const Image sample = fontSample(large, m_sample.toStdString(), 4);
    m_preview->setFixedSize(std::clamp(sample.width() + 8, 320, 560),
                            std::clamp(sample.height() + 8, 96, 240));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void FontDialog::layOut()
{
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
