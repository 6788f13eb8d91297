// BorderPage: the two groups of widths, presets, colours, mat picture and border placement.
#include "gui/overlay/border_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/controls/colour_button.h"
#include "gui/overlay/open_picture.h"
#include "gui/overlay/page_band.h"
#include "gui/support/string_table.h"
#include "overlay/unit_fields.h"

namespace tavelune::gui {
namespace {

// Tool tips of a group: top, bottom, left, right, unit, equal sides, colour.
constexpr int kMatTips[7] = {Strings::MatTopTip,   Strings::MatBottomTip, Strings::MatLeftTip,
                             Strings::MatRightTip, Strings::UnitTip,      Strings::MatEqualTip,
                             Strings::MatColourTip};
constexpr int kBorderTips[7] = {Strings::BorderTopTip,   Strings::BorderBottomTip,
                                Strings::BorderLeftTip,  Strings::BorderRightTip,
                                Strings::UnitTip,        Strings::BorderEqualTip,
                                Strings::BorderColourTip};

}  // namespace

BorderPage::BorderPage(QWidget* parent) : QWidget(parent)
{
    m_enable = new QCheckBox(text(Strings::FrameEnabled), this);
    m_enable->setObjectName(QStringLiteral("enable"));
    m_enable->setFixedHeight(kPageBandHeight - 1);
    m_preset = new QComboBox(this);
    m_preset->setObjectName(QStringLiteral("preset"));
    m_preset->setToolTip(text(Strings::FramePresetTip));
    m_preset->addItem(text(Strings::FramePresetBlackMat));
    m_preset->addItem(text(Strings::FramePresetWhiteMat));

    buildGroup(m_mat, Strings::MatGroup, "mat", kMatTips);
    buildGroup(m_border, Strings::BorderGroup, "border", kBorderTips);

    addMatPictureRow();
    addOpacityRow();

    auto* band = new QHBoxLayout;
    band->setContentsMargins(6, 0, 2, 0);
    band->addWidget(m_enable, 1);
    m_preset->setFixedHeight(kPageBandHeight - 1);
    band->addWidget(m_preset);

    auto* groups = new QVBoxLayout;
    groups->setContentsMargins(6, 0, 6, 3);
    groups->setSpacing(2);
    groups->addWidget(m_mat.box);
    groups->addWidget(m_border.box);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addLayout(band);
    page->addSpacing(1);
    page->addLayout(groups, 1);

    connect(m_enable, &QCheckBox::toggled, this,
            [this](bool on) { enableChildrenExcept(this, m_enable, on); });
    connect(m_preset, &QComboBox::activated, this, &BorderPage::applyPreset);
    connect(m_browse, &QPushButton::clicked, this, [this] {
        const QString path = askPictureFile(this, m_matPath->text());
        if (path.isEmpty())
            return;
        m_matPath->setText(path);
        m_matPicture->setChecked(true);
    });

    setSettings(BorderSettings::initial());
    m_preset->setCurrentIndex(kPresetWhiteMatBlackBorder);
}

void BorderPage::addMatPictureRow()
{
    m_matPicture = new QCheckBox(text(Strings::MatPictureLabel), m_mat.box);
    m_matPicture->setObjectName(QStringLiteral("matPicture"));
    m_matPicture->setToolTip(text(Strings::MatPictureTip));
    m_matPath = new QLineEdit(m_mat.box);
    m_matPath->setObjectName(QStringLiteral("matPath"));
    m_matPath->setReadOnly(true);
    m_matPath->setToolTip(text(Strings::MatPathTip));
    m_browse = new QPushButton(text(Strings::MatBrowseButton), m_mat.box);
    m_browse->setObjectName(QStringLiteral("browse"));
    m_browse->setToolTip(text(Strings::MatBrowseTip));
    m_browse->setFixedWidth(fontMetrics().horizontalAdvance(text(Strings::MatBrowseButton)) + 16);
    auto* matGrid = static_cast<QGridLayout*>(m_mat.box->layout());
    auto* pictureRow = new QHBoxLayout;
    pictureRow->setSpacing(3);
    pictureRow->addWidget(m_matPicture);
    pictureRow->addWidget(m_matPath, 1);
    pictureRow->addWidget(m_browse);
    matGrid->addLayout(pictureRow, 1, 2, 1, 9);
}

void BorderPage::addOpacityRow()
{
    m_opacity = new OpacityField(m_border.box);
    m_opacity->setObjectName(QStringLiteral("opacity"));
    m_opacity->setToolTip(text(Strings::BorderOpacityTip));
    m_opacity->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    m_inside = new QCheckBox(text(Strings::BorderInside), m_border.box);
    m_inside->setObjectName(QStringLiteral("inside"));
    m_inside->setToolTip(text(Strings::BorderInsideTip));
    auto* borderGrid = static_cast<QGridLayout*>(m_border.box->layout());
    auto* opacityRow = new QHBoxLayout;
    opacityRow->setSpacing(3);
    opacityRow->addWidget(new QLabel(text(Strings::OpacityLabel), m_border.box));
    opacityRow->addWidget(m_opacity);
    opacityRow->addSpacing(12);
    opacityRow->addWidget(m_inside);
    opacityRow->addStretch(1);
    borderGrid->addLayout(opacityRow, 1, 2, 1, 9);
}

void BorderPage::buildGroup(Group& group, int titleId, const char* name, const int tips[7])
{
    group.box = new QGroupBox(text(titleId), this);
    group.box->setObjectName(QLatin1String(name));
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("00.000")) + 4;
    QLineEdit** fields[4] = {&group.top, &group.bottom, &group.left, &group.right};
    const char* fieldNames[4] = {"Top", "Bottom", "Left", "Right"};
    for (int i = 0; i < 4; ++i) {
        QLineEdit* field = makeNumberField(false, group.box);
        field->setObjectName(QLatin1String(name) + QLatin1String(fieldNames[i]));
        field->setToolTip(text(tips[i]));
        field->setFixedWidth(fieldWidth);
        *fields[i] = field;
    }
    group.unitList = new QComboBox(group.box);
    group.unitList->setObjectName(QLatin1String(name) + QLatin1String("Unit"));
    group.unitList->setToolTip(text(tips[4]));
    fillUnitList(group.unitList);
    group.equalSides = new QCheckBox(text(Strings::EqualSides), group.box);
    group.equalSides->setObjectName(QLatin1String(name) + QLatin1String("Equal"));
    group.equalSides->setToolTip(text(tips[5]));
    group.colour = new ColourButton(group.box);
    group.colour->setObjectName(QLatin1String(name) + QLatin1String("Colour"));
    group.colour->setToolTip(text(tips[6]));

    // Two rows per group: the four widths with their unit, then colour and the rest.
    auto* grid = new QGridLayout(group.box);
    grid->setContentsMargins(6, 0, 6, 3);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(3);
    const int labels[4] = {Strings::SideTopLabel, Strings::SideBottomLabel, Strings::SideLeftLabel,
                           Strings::SideRightLabel};
    QLineEdit* ordered[4] = {group.top, group.bottom, group.left, group.right};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(text(labels[i]), group.box), 0, 2 * i);
        grid->addWidget(ordered[i], 0, 2 * i + 1);
    }
    grid->addWidget(group.unitList, 0, 8);
    grid->addWidget(group.equalSides, 0, 9);
    grid->addWidget(new QLabel(text(Strings::ColourLabel), group.box), 1, 0);
    grid->addWidget(group.colour, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(10, 1);

    Group* bound = &group;
    connect(group.equalSides, &QCheckBox::toggled, this, [bound](bool ticked) {
        if (!ticked)
            return;
        for (QLineEdit* other : {bound->bottom, bound->left, bound->right})
            other->setText(bound->top->text());
    });
    for (QLineEdit* field : {group.top, group.bottom, group.left, group.right}) {
        connect(field, &QLineEdit::textEdited, this, [bound, field](const QString& typed) {
            if (!bound->equalSides->isChecked())
                return;
            for (QLineEdit* other : {bound->top, bound->bottom, bound->left, bound->right})
                if (other != field)
                    other->setText(typed);
        });
    }
    connect(group.unitList, &QComboBox::currentIndexChanged, this,
            [this, bound] { changeUnit(*bound); });
}

void BorderPage::paintEvent(QPaintEvent*)
{
    paintPageBand(this);
}

SideGroup BorderPage::sidesOf(const Group& group) const
{
    SideGroup sides;
    sides.sides = {numberFieldValue(group.top), numberFieldValue(group.bottom),
                   numberFieldValue(group.left), numberFieldValue(group.right)};
    sides.unit = selectedUnit(group.unitList);
    sides.equalSides = group.equalSides->isChecked();
    return sides;
}

void BorderPage::showSides(Group& group, const SideGroup& sides)
{
    {
        const QSignalBlocker block(group.unitList);
        selectUnit(group.unitList, sides.unit);
    }
    group.unit = selectedUnit(group.unitList);
    setNumberField(group.top, sides.sides.top);
    setNumberField(group.bottom, sides.sides.bottom);
    setNumberField(group.left, sides.sides.left);
    setNumberField(group.right, sides.sides.right);
    // Ticking copies the top width, which the fields already show when the box was ticked.
    const QSignalBlocker block(group.equalSides);
    group.equalSides->setChecked(sides.equalSides);
}

void BorderPage::changeUnit(Group& group)
{
    SideGroup sides = sidesOf(group);
    sides.unit = group.unit;
    sides.changeUnit(selectedUnit(group.unitList), m_dpi);
    showSides(group, sides);
}

BorderSettings BorderPage::settings() const
{
    BorderSettings settings;
    settings.enabled = m_enable->isChecked();
    settings.mat = sidesOf(m_mat);
    settings.matColour = m_mat.colour->colour();
    settings.matPicture = m_matPicture->isChecked();
    settings.matPicturePath = m_matPath->text().toStdString();
    settings.border = sidesOf(m_border);
    settings.borderColour = m_border.colour->colour();
    settings.inside = m_inside->isChecked();
    settings.opacity = opacityAfterEdit(m_opacity->value());
    return settings;
}

void BorderPage::setSettings(const BorderSettings& settings)
{
    m_enable->setChecked(settings.enabled);
    enableChildrenExcept(this, m_enable, settings.enabled);
    showSides(m_mat, settings.mat);
    showSides(m_border, settings.border);
    m_mat.colour->setColour(settings.matColour);
    m_border.colour->setColour(settings.borderColour);
    m_matPicture->setChecked(settings.matPicture);
    m_matPath->setText(QString::fromStdString(settings.matPicturePath));
    m_inside->setChecked(settings.inside);
    m_opacity->setText(QString::number(std::clamp(settings.opacity, 0, 100)));
}

void BorderPage::applyPreset(int preset)
{
    BorderSettings current = settings();
    current.applyPreset(preset);
    setSettings(current);
    if (preset == kPresetBlackMatWhiteBorder || preset == kPresetWhiteMatBlackBorder)
        m_preset->setCurrentIndex(preset);
}

void BorderPage::setCurrentImageDpi(double dpi)
{
    m_dpi = dpi > 0 ? dpi : 72;
}

}  // namespace tavelune::gui
