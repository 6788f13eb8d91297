// The string table: complete in all three languages, consistent conversions, packs that load.
#include "gui/support/string_table.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <set>
#include <vector>

#include "support/gui_test_support.h"

namespace {

struct Row {
    int id;
    const char* zhCN;
    const char* zhTW;
    const char* enUS;
};

#define TAVELUNE_TEXT(name, id, zhCN, zhTW, enUS) {id, zhCN, zhTW, enUS},
const Row kRows[] = {
#include "strings/all.inc"
};
#undef TAVELUNE_TEXT

QStringList conversions(const char* text)
{
    static const QRegularExpression conversion(
        QStringLiteral("%[-+ #0]*[0-9*]*(\\.[0-9*]+)?(hh|h|ll|l|z)?[diouxXeEfgGcsp%]"));
    QStringList found;
    auto it = conversion.globalMatch(QString::fromUtf8(text));
    while (it.hasNext()) {
        const QString c = it.next().captured(0);
        if (c != QLatin1String("%%")) {
            found << c;
        }
    }
    return found;
}

}  // namespace

using namespace tavelune::gui;

class StringTableTest : public QObject {
    Q_OBJECT
private slots:
    void everyIdIsUniqueAndEveryColumnFilled()
    {
        std::set<int> seen;
        for (const Row& row : kRows) {
            QVERIFY2(seen.insert(row.id).second, qPrintable(QString("id %1 twice").arg(row.id)));
            QVERIFY2(*row.zhCN && *row.zhTW && *row.enUS,
                     qPrintable(QString("id %1 has an empty column").arg(row.id)));
        }
    }

    void printfConversionsAgreeInEveryLanguage()
    {
        for (const Row& row : kRows) {
            const QStringList cn = conversions(row.zhCN);
            QCOMPARE(conversions(row.zhTW), cn);
            QCOMPARE(conversions(row.enUS), cn);
        }
    }

    void builtInTextsAreSimplifiedChinese()
    {
        setActiveLanguagePack(nullptr);
        QCOMPARE(text(Strings::OpenFailed), QString::fromUtf8("打开文件失败"));
        QCOMPARE(activeLanguageCode(), QStringLiteral("zh_CN"));
        QCOMPARE(text(-5), QStringLiteral("#-5"));
    }

    void eachPackLoadsFromTheProgramFolderAndAnswersEveryId()
    {
        const QString folder = test::buildProgramFolder();
        for (const auto& [code, column] :
             std::vector<std::pair<QString, int>>{{"zh_TW", 1}, {"en_US", 2}}) {
            QString error;
            std::unique_ptr<LanguagePack> pack(LanguagePack::load(folder, code, &error));
            QVERIFY2(pack, qPrintable(error));
            QCOMPARE(pack->code(), code);
            setActiveLanguagePack(pack.get());
            for (const Row& row : kRows) {
                QCOMPARE(text(row.id), QString::fromUtf8(column == 1 ? row.zhTW : row.enUS));
            }
            setActiveLanguagePack(nullptr);
        }
    }

    void missingOrForeignPackIsRefused()
    {
        QString error;
        QVERIFY(!LanguagePack::load(test::buildProgramFolder(), "fr_FR", &error));
        QVERIFY(error.contains("Lang_fr_FR.so"));
        // A relative folder would let the working directory supply code; it is never tried.
        QVERIFY(!LanguagePack::load(QStringLiteral("."), "en_US", &error));
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/lang");
        QFile fake(dir.path() + "/lang/Lang_en_US.so");
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("not a library");
        fake.close();
        QVERIFY(!LanguagePack::load(dir.path(), "en_US", &error));
    }
};

QTEST_MAIN(StringTableTest)
#include "string_table_test.moc"
