// The EXIF editor's Write and Delete buttons on real camera files, and the writes that fail.
#include <sys/stat.h>

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <set>
#include <tuple>

#include "exif/exif_data.h"
#include "gui/exif/exif_editor_dialog.h"
#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

using Key = std::pair<std::uint16_t, std::uint16_t>;  // ifd, tag
using Entries = std::map<Key, std::pair<std::uint16_t, std::vector<std::uint8_t>>>;

// Maker-note entries are the reader's view of one opaque block; the tags of the two main
// directories are what the dialog edits.
Entries mainEntries(const ExifData& exif)
{
    Entries entries;
    for (const auto& entry : exif.entries())
        if (entry->ifd() == kIfd0 || entry->ifd() == kExifIfd)
            entries.emplace(Key{entry->ifd(), entry->tag()},
                            std::pair{entry->type(), entry->value()});
    return entries;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString copyFixture(const QTemporaryDir& dir, const QString& name)
{
    const QString target = dir.filePath(name);
    QFile::copy(QStringLiteral(TAVELUNE_FIXTURES_DIR "/camera/") + name, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    return target;
}

EditorPicture pictureOf(const QString& path)
{
    const QImage image(path);
    return {std::uint32_t(image.width()), std::uint32_t(image.height()), 72};
}

void typeInto(QDialog& dialog, const char* field, const QString& typed)
{
    QLineEdit* edit = dialog.findChild<QLineEdit*>(field);
    if (edit == nullptr)
        edit = dialog.findChild<QComboBox*>(field)->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
}

void click(QDialog& dialog, const char* button)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

// exiftool's view of the two main directories, tag by tag, or empty without exiftool.
std::map<QString, QJsonValue> exiftoolTags(const QString& path)
{
    std::map<QString, QJsonValue> tags;
    QProcess tool;
    tool.start("exiftool", {"-j", "-n", "-G1", "-a", "-IFD0:all", "-ExifIFD:all", path});
    if (!tool.waitForFinished(30000))
        return tags;
    const QJsonObject object =
        QJsonDocument::fromJson(tool.readAllStandardOutput()).array().at(0).toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
        if (it.key() != "SourceFile")
            tags[it.key()] = it.value();
    return tags;
}

}  // namespace

class ExifEditorFileTest : public QObject {
    Q_OBJECT

private slots:
    void writeChangesExactlyTheFieldsChanged()
    {
        const struct {
            const char* name;
            bool coreReadBack;
        } files[] = {{"canon-powershot-s40.jpg", true}, {"nikon-e950.jpg", true}};
        for (const auto& [name, coreReadBack] : files) {
            QTemporaryDir dir;
            const QString path = copyFixture(dir, name);
            ExifData exif;
            QVERIFY2(exif.LoadExif(QFile::encodeName(path).toStdString()), name);
            const Entries before = mainEntries(exif);
            const auto toolBefore = exiftoolTags(path);

            test::MessageCollector boxes(QMessageBox::Yes);
            ExifEditorDialog dialog(exif, pictureOf(path));
            QVERIFY(dialog.findChild<QPushButton*>("writeButton")->isEnabled());
            typeInto(dialog, "iso", "800");
            typeInto(dialog, "artist", "Jane Doe");
            typeInto(dialog, "shutter", "1/250");
            click(dialog, "writeButton");
            QCOMPARE(boxes.texts(), QStringList{text(Strings::ExifWriteConfirm)});
            QCOMPARE(dialog.result(), int(QDialog::Accepted));

            ExifData reread;
            QVERIFY(reread.LoadExif(QFile::encodeName(path).toStdString()));
            QCOMPARE(reread.GetNumber(kExifIfd, 34855, 0), 800.0);
            QCOMPARE(QString::fromStdString(reread.GetText(kIfd0, 315, "en_US")),
                     QString("Jane Doe"));
            QCOMPARE(reread.GetNumber(kExifIfd, 33434, 0), 1.0 / 250);
            const std::set<Key> changed = {{kIfd0, 315},      {kIfd0, 305},      {kExifIfd, 34855},
                                           {kExifIfd, 33434}, {kExifIfd, 37377}, {kExifIfd, 44992},
                                           {kExifIfd, 36864}};
            const Entries after = mainEntries(reread);
            for (const auto& [key, value] : before)
                if (coreReadBack && !changed.count(key)) {
                    QVERIFY2(after.count(key), qPrintable(QString("%1 lost").arg(key.second)));
                    QVERIFY2(
                        after.at(key) == value,
                        qPrintable(
                            QString("%1 in %2 changed: %3 -> %4")
                                .arg(key.second)
                                .arg(name)
                                .arg(QByteArray(reinterpret_cast<const char*>(value.second.data()),
                                                int(value.second.size()))
                                         .toHex())
                                .arg(QByteArray(
                                         reinterpret_cast<const char*>(after.at(key).second.data()),
                                         int(after.at(key).second.size()))
                                         .toHex())));
                }
            for (const auto& [key, value] : after)
                QVERIFY2(!coreReadBack || before.count(key) || changed.count(key),
                         qPrintable(QString("%1 invented").arg(key.second)));
            // The model the page keeps is the file's again.
            QCOMPARE(mainEntries(exif), after);

            const auto toolAfter = exiftoolTags(path);
            if (toolBefore.empty())
                continue;  // no exiftool on this machine
            QVERIFY(toolAfter.size() >= toolBefore.size());
            const std::set<QString> toolChanged = {"IFD0:Artist",
                                                   "IFD0:Software",
                                                   "ExifIFD:ISO",
                                                   "ExifIFD:ExposureTime",
                                                   "ExifIFD:ShutterSpeedValue",
                                                   "ExifIFD:ExifVersion"};
            for (const auto& [tag, value] : toolBefore)
                if (!toolChanged.count(tag)) {
                    QVERIFY2(toolAfter.count(tag), qPrintable(tag + " lost"));
                    QVERIFY2(toolAfter.at(tag) == value, qPrintable(tag + " changed"));
                }
            QCOMPARE(toolAfter.at("ExifIFD:ISO").toInt(), 800);
            QCOMPARE(toolAfter.at("IFD0:Artist").toString(), QString("Jane Doe"));
        }
        if (QStandardPaths::findExecutable("exiftool").isEmpty())
            QSKIP("exiftool is not installed: read back with the core reader only");
    }

    void deleteLeavesAValidJpegWithoutExif()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "canon-powershot-s40.jpg");
        const QImage pixelsBefore(path);
        ExifData exif;
        QVERIFY(exif.LoadExif(QFile::encodeName(path).toStdString()));
        test::MessageCollector boxes(QMessageBox::Yes);
        ExifEditorDialog dialog(exif, pictureOf(path));
        click(dialog, "deleteButton");
        QCOMPARE(boxes.texts(), QStringList{text(Strings::ExifDeleteConfirm)});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(exif.IsEmpty());

        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.startsWith("\xFF\xD8"));
        QVERIFY(!bytes.contains(QByteArray("Exif\0\0", 6)));
        const QImage pixelsAfter(path);
        QVERIFY(!pixelsAfter.isNull());
        QCOMPARE(pixelsAfter, pixelsBefore);
        ExifData reread;
        (void)reread.LoadExif(QFile::encodeName(path).toStdString());
        QVERIFY(reread.IsEmpty());
    }

    void answeringNoChangesNothing()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, "nikon-e950.jpg");
        const QByteArray original = bytesOf(path);
        ExifData exif;
        QVERIFY(exif.LoadExif(QFile::encodeName(path).toStdString()));
        test::MessageCollector boxes(QMessageBox::No);
        ExifEditorDialog dialog(exif, pictureOf(path));
        dialog.show();
        typeInto(dialog, "iso", "800");
        click(dialog, "writeButton");
        click(dialog, "deleteButton");
        QCOMPARE(boxes.texts(),
                 (QStringList{text(Strings::ExifWriteConfirm), text(Strings::ExifDeleteConfirm)}));
        QVERIFY(dialog.isVisible());
        QCOMPARE(bytesOf(path), original);
    }

    void failedWritesSayWhyAndLeaveTheFileAlone()
    {
        QTemporaryDir dir;
        const QString readOnly = copyFixture(dir, "nikon-e950.jpg");
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup);
        const QString tiled = copyFixture(dir, "tiled.tif");
        // (A PNG's EXIF data is shown, so it is refused as one shown only; a BMP has none.)
        const QString bmp = dir.filePath("picture.bmp");
        QVERIFY(QImage(readOnly).save(bmp));
        const struct {
            QString path;
            const char* button;
            QString message;
            QMessageBox::Icon icon;
        } cases[] = {
            {readOnly, "writeButton",
             QString(text(Strings::ExifWriteFailed)).replace("%s", readOnly),
             QMessageBox::Critical},
            {readOnly, "deleteButton",
             QString(text(Strings::ExifDeleteFailed)).replace("%s", readOnly),
             QMessageBox::Critical},
            {tiled, "writeButton", QString(text(Strings::ExifWriteFailed)).replace("%s", tiled),
             QMessageBox::Critical},
            {bmp, "writeButton", text(Strings::ExifNotJpegOrTiff), QMessageBox::NoIcon},
        };
        for (const auto& c : cases) {
            const QByteArray original = bytesOf(c.path);
            ExifData exif;
            (void)exif.LoadExif(QFile::encodeName(c.path).toStdString());
            test::MessageCollector boxes(QMessageBox::Yes);
            ExifEditorDialog dialog(exif, pictureOf(c.path));
            dialog.show();
            typeInto(dialog, "artist", "Jane Doe");
            click(dialog, c.button);
            QCOMPARE(boxes.texts().size(), 2);
            QCOMPARE(boxes.texts().at(1), c.message);
            QCOMPARE(boxes.messages().at(1).icon, c.icon);
            QVERIFY2(dialog.isVisible(), qPrintable(c.path));
            QCOMPARE(dialog.result(), 0);
            QCOMPARE(bytesOf(c.path), original);
        }
    }
};

QTEST_MAIN(ExifEditorFileTest)
#include "exif_editor_file_test.moc"
