// Image size dialog: binds five edits, their unit lists and the two boxes to the model.
#include "gui/engine/image_size_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/controls/dialog_buttons.h"
#include "gui/controls/message_box.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {
namespace {

constexpr SizeField kFields[] = {SizeField::PixelWidth, SizeField::PixelHeight,
                                 SizeField::DocumentWidth, SizeField::DocumentHeight,
                                 SizeField::Resolution};
constexpr const char* kFieldNames[] = {"pixelWidth", "pixelHeight", "documentWidth",
                                       "documentHeight", "resolution"};

// Texts of each list's items, in the model's item order.
std::vector<int> unitTextIds(SizeField field)
{
    switch (field) {
        case SizeField::PixelWidth:
        case SizeField::PixelHeight:
            return {Strings::UnitPixels, Strings::UnitPercent};
        case SizeField::DocumentWidth:
        case SizeField::DocumentHeight:
            return {Strings::UnitInches, Strings::UnitCentimetres, Strings::UnitMillimetres};
        case SizeField::Resolution:
            return {Strings::PixelsPerInch, Strings::PixelsPerCentimetre};
    }
    return {};
}

}  // namespace

ImageSizeDialog::ImageSizeDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(text(Strings::ImageSizeTitle));

    createFields();

    QList<QLabel*> labels;
    auto addRow = [this, &labels](QGridLayout* grid, int row, int labelId, SizeField field) {
        auto* label = new QLabel(text(labelId), grid->parentWidget());
        label->setBuddy(edit(field));
        labels << label;
        grid->addWidget(label, row, 0);
        grid->addWidget(edit(field), row, 1);
        grid->addWidget(unitList(field), row, 2);
    };
    auto* pixelGroup = new QGroupBox(text(Strings::PixelSizeGroup), this);
    auto* pixelGrid = new QGridLayout(pixelGroup);
    addRow(pixelGrid, 0, Strings::WidthLabel, SizeField::PixelWidth);
    addRow(pixelGrid, 1, Strings::HeightLabel, SizeField::PixelHeight);
    auto* documentGroup = new QGroupBox(text(Strings::DocumentSizeGroup), this);
    auto* documentGrid = new QGridLayout(documentGroup);
    addRow(documentGrid, 0, Strings::WidthLabel, SizeField::DocumentWidth);
    addRow(documentGrid, 1, Strings::HeightLabel, SizeField::DocumentHeight);
    addRow(documentGrid, 2, Strings::ResolutionLabel, SizeField::Resolution);
    // The two groups line up column by column although they are separate grids.
    int labelWidth = 0;
    int unitWidth = 0;
    for (QLabel* label : labels) labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QComboBox* units : m_units) unitWidth = std::max(unitWidth, units->sizeHint().width());
    for (QLabel* label : labels) label->setMinimumWidth(labelWidth);
    for (QComboBox* units : m_units) units->setMinimumWidth(unitWidth);
    for (QGridLayout* grid : {pixelGrid, documentGrid}) grid->setColumnStretch(1, 1);

    m_constrainBox = new QCheckBox(text(Strings::ConstrainProportions), this);
    m_constrainBox->setObjectName("constrain");
    m_resampleBox = new QCheckBox(text(Strings::ResampleImage), this);
    m_resampleBox->setObjectName("resample");
    connect(m_constrainBox, &QCheckBox::clicked, this, [this](bool ticked) {
        m_model.setConstrain(ticked);
        showModel();
    });
    connect(m_resampleBox, &QCheckBox::clicked, this, [this](bool ticked) {
        m_model.setResample(ticked);
        showModel();
    });

    QDialogButtonBox* buttons = okCancelButtons(this).box;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pixelGroup);
    layout->addWidget(documentGroup);
    layout->addWidget(m_constrainBox);
    layout->addWidget(m_resampleBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    showModel();
}

void ImageSizeDialog::createFields()
{
    const QRegularExpression number(QStringLiteral("[0-9]{0,7}(\\.[0-9]{0,3})?"));
    for (SizeField field : kFields) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(kFieldNames[index(field)]);
        edit->setValidator(new QRegularExpressionValidator(number, edit));
        edit->setAlignment(Qt::AlignRight);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000.000")) +
                              12);
        auto* units = new QComboBox(this);
        units->setObjectName(QString(kFieldNames[index(field)]) + "Unit");
        const std::vector<UnitItem>& items = ImageSizeModel::unitItems(field);
        const std::vector<int> texts = unitTextIds(field);
        for (size_t i = 0; i < items.size(); ++i) units->addItem(text(texts[i]), items[i].unit);
        m_edits[index(field)] = edit;
        m_units[index(field)] = units;

        connect(edit, &QLineEdit::textEdited, this, [this, field, edit](const QString& typed) {
            m_model.edit(field, typed.toStdString());
            showModel(edit);
        });
        connect(units, &QComboBox::activated, this, [this, field, units](int item) {
            m_model.setUnit(field, units->itemData(item).toInt());
            showModel();
        });
    }
}

void ImageSizeDialog::setValues(int width, int height, double dpi)
{
    m_model.setValues(width, height, dpi);
    showModel();
}

void ImageSizeDialog::showModel(QLineEdit* typing)
{
    for (SizeField field : kFields) {
        QLineEdit* fieldEdit = edit(field);
        const QString shown = QString::fromStdString(m_model.text(field));
        if (fieldEdit != typing && fieldEdit->text() != shown) {
            fieldEdit->setText(shown);
            fieldEdit->setCursorPosition(0);
        }
        QComboBox* units = unitList(field);
        units->setCurrentIndex(units->findData(m_model.unit(field)));
        fieldEdit->setEnabled(m_model.isEnabled(field));
        units->setEnabled(m_model.isEnabled(field));
    }
    const QSignalBlocker blockConstrain(m_constrainBox);
    const QSignalBlocker blockResample(m_resampleBox);
    m_constrainBox->setChecked(m_model.constrain());
    m_constrainBox->setEnabled(m_model.pixelControlsEnabled());
    m_resampleBox->setChecked(m_model.resample());
}

QString ImageSizeDialog::validationText(const SizeValidation& check) const
{
    auto format = [](int id) { return text(id).toUtf8(); };
    switch (check.rule) {
        case SizeRule::WholePixels:
            return QString::asprintf(format(Strings::WholePixelsRange).constData(),
                                     (unsigned long)check.low, (unsigned long)check.high);
        case SizeRule::PercentRange:
            return QString::asprintf(format(Strings::PercentRange).constData(), check.low,
                                     check.high);
        case SizeRule::ResolutionRange:
            return QString::asprintf(format(Strings::ResolutionRange).constData(), check.low,
                                     (unsigned long)check.high);
        case SizeRule::None:
            break;
    }
    return QString::fromStdString(check.message);
}

void ImageSizeDialog::accept()
{
    const SizeValidation check = m_model.validate();
    if (!check.ok) {
        showMessageBox(this, validationText(check), QMessageBox::Warning);
        QLineEdit* offending = edit(check.focus);
        offending->setFocus(Qt::OtherFocusReason);
        if (check.selectText)
            offending->selectAll();
        return;
    }
    m_model.accept();
    QDialog::accept();
}

}  // namespace tavelune::gui
