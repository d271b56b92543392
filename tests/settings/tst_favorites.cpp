// The favorites store on disk: the folder, the menu model with its digit shortcuts, the default
// lookup, saving a favorite, and applying the Edit Favorites changes without ever replacing
// another favorite's file.

#include "settings/favorites.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace quillon::settings;

namespace {

// Each entry holds its own original name, so a test can see which file went where.
void makeEntries(const QDir& dir, const QStringList& names)
{
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
    }
}

// "name=content" for every entry of the folder, in listing order.
QStringList folderContents(const QDir& dir)
{
    QStringList result;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("unreadable: ") + info.fileName()};
        result << info.fileName() + QLatin1Char('=') + QString::fromUtf8(file.readAll());
    }
    return result;
}

int fileMode(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class tst_Favorites : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void folderIsCreated();
    void menu_data();
    void menu();
    void defaultLookup_data();
    void defaultLookup();
    void nameProblems_data();
    void nameProblems();
    void saveAndReload();
    void saveReplacesOtherLetterCase();
    void saveRefusesBadName();
    void edit_data();
    void edit();
    void planNeverTargetsAnExistingName();
};

void tst_Favorites::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
}

void tst_Favorites::folderIsCreated()
{
    const QString expected = qEnvironmentVariable("XDG_DATA_HOME") + "/Quillon/favorites";
    QCOMPARE(favoritesFolderPath(), expected);
    QDir(expected).removeRecursively();
    QCOMPARE(FavoritesFolder(), expected);
    QVERIFY(QFileInfo(expected).isDir());
    QCOMPARE(FavoritesFolder(), expected); // an existing folder is kept

    // A data location that cannot hold a folder: no favorites, and saving writes nothing.
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker));
    const QString folder = FavoritesFolder();
    qputenv("XDG_DATA_HOME", saved);
    QCOMPARE(folder, QString());
    QCOMPARE(favoritesMenu(folder).size(), size_t(1));
    QVERIFY(!saveFavorite(SettingsStore(), folder, QStringLiteral("x")).ok);
}

void tst_Favorites::menu_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("shortcuts");

    QTest::newRow("empty folder: one disabled None Available")
        << QStringList() << QStringList{"None Available"} << QList<int>{-1};
    QTest::newRow("three favorites")
        << QStringList{"b", "a", "c"} << QStringList{"a", "b", "c"} << QList<int>{0, 1, 2};
    QStringList twelve;
    QList<int> twelveKeys;
    for (int i = 1; i <= 12; ++i) {
        twelve << QStringLiteral("fav %1").arg(i);
        twelveKeys << (i <= 9 ? i - 1 : -1);
    }
    QTest::newRow("twelve favorites: 0..8 on the first nine") << twelve << twelve << twelveKeys;
    QStringList hiddenFirst = QStringList{".DS_Store"} + twelve;
    QList<int> hiddenKeys;
    for (int i = 1; i <= 12; ++i)
        hiddenKeys << (i <= 8 ? i - 1 : -1);
    QTest::newRow("hidden entry listed first takes the last shortcut")
        << hiddenFirst << twelve << hiddenKeys;
    QTest::newRow("hidden entry after the ninth position changes nothing")
        << QStringList{"#1", "#2", "#3", "#4", "#5", "#6", "#7", "#8", "#9", ".z", "a"}
        << QStringList{"#1", "#2", "#3", "#4", "#5", "#6", "#7", "#8", "#9", "a"}
        << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, -1};
    QTest::newRow("only hidden entries")
        << QStringList{".a", ".b"} << QStringList{"None Available"} << QList<int>{-1};
}

void tst_Favorites::menu()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, shortcuts);
    QTemporaryDir dir;
    makeEntries(QDir(dir.path()), entries);
    const auto items = favoritesMenu(dir.path());
    QStringList gotTexts;
    QList<int> gotKeys;
    for (const FavoriteMenuItem& item : items) {
        gotTexts << item.text;
        gotKeys << item.shortcutDigit;
        QCOMPARE(item.enabled, item.text != QLatin1String(kNoFavoritesText));
    }
    QCOMPARE(gotTexts, texts);
    QCOMPARE(gotKeys, shortcuts);
    if (entries.isEmpty() || texts == QStringList{"None Available"})
        QVERIFY(listFavorites(dir.path()).isEmpty());
    else
        QCOMPARE(listFavorites(dir.path()), texts);
}

void tst_Favorites::defaultLookup_data()
{
    QTest::addColumn<QString>("prefDefault");
    QTest::addColumn<QString>("found");
    QTest::newRow("same letter case") << "Web Export"
                                      << "Web Export";
    QTest::newRow("other letter case") << "WEB export"
                                       << "Web Export";
    QTest::newRow("empty names none") << ""
                                      << "";
    QTest::newRow("no such favorite") << "Print"
                                      << "";
    QTest::newRow("a hidden entry is no favorite") << ".hidden"
                                                   << "";
}

void tst_Favorites::defaultLookup()
{
    QFETCH(QString, prefDefault);
    QFETCH(QString, found);
    QTemporaryDir dir;
    makeEntries(QDir(dir.path()), {"Web Export", "Thumbs", ".hidden"});
    const QString expected = found.isEmpty() ? QString() : QDir(dir.path()).filePath(found);
    QCOMPARE(defaultFavoritePath(dir.path(), prefDefault), expected);
}

void tst_Favorites::nameProblems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("plain name") << "Web 800px" << false;
    QTest::newRow("unicode name") << QString::fromUtf8("Überblick – groß") << false;
    QTest::newRow("dot inside") << "v1.2" << false;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("dot") << "." << true;
    QTest::newRow("dot dot") << ".." << true;
    QTest::newRow("slash") << "a/b" << true;
    QTest::newRow("leading dot hides it") << ".secret" << true;
    QTest::newRow("NUL") << QString(QStringLiteral("a") + QChar(0)) << true;
    QTest::newRow("too long") << QString(256, QLatin1Char('x')) << true;
    QTest::newRow("longest allowed") << QString(255, QLatin1Char('x')) << false;
}

void tst_Favorites::nameProblems()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QCOMPARE(!favoriteNameProblem(name).isEmpty(), refused);
}

void tst_Favorites::saveAndReload()
{
    QTemporaryDir dir;
    SettingsStore store;
    QVERIFY(store.append(createSetting(kFormatKind)));
    QVERIFY(store.append(createSetting(kScaleKind)));
    const auto saved = saveFavorite(store, dir.path(), QStringLiteral("Two Steps"));
    QVERIFY2(saved.ok, qPrintable(saved.error));
    const QString path = QDir(dir.path()).filePath(QStringLiteral("Two Steps"));
    QCOMPARE(fileMode(path), 0600);
    SettingsStore back;
    QVERIFY(back.readFile(path).ok());
    QCOMPARE(back.setting.size(), size_t(2));
    QCOMPARE(back.setting[1]->type, kScaleKind);

    // Saving again under the same name replaces the file and keeps it private.
    QVERIFY(back.removeAt(1));
    QVERIFY(saveFavorite(back, dir.path(), QStringLiteral("Two Steps")).ok);
    QVERIFY(store.readFile(path).ok());
    QCOMPARE(store.setting.size(), size_t(1));
    QCOMPARE(fileMode(path), 0600);
}

void tst_Favorites::saveReplacesOtherLetterCase()
{
    QTemporaryDir dir;
    makeEntries(QDir(dir.path()), {"web", "Other"});
    SettingsStore store;
    QVERIFY(store.append(createSetting(kFormatKind)));
    QCOMPARE(findFavorite(dir.path(), QStringLiteral("WEB")), QStringLiteral("web"));
    QVERIFY(saveFavorite(store, dir.path(), QStringLiteral("WEB")).ok);
    QCOMPARE(listFavorites(dir.path()), QStringList({"Other", "WEB"}));
}

void tst_Favorites::saveRefusesBadName()
{
    QTemporaryDir dir;
    SettingsStore store;
    for (const QString& name : {QString(), QStringLiteral("a/b"), QStringLiteral(".x")}) {
        const auto result = saveFavorite(store, dir.path(), name);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
    }
    QVERIFY(!saveFavorite(store, dir.filePath("missing"), QStringLiteral("x")).ok);
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void tst_Favorites::edit_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("renames"); // "from>to"
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("after"); // "name=original name"

    QTest::newRow("plain rename") << QStringList{"A", "B"} << QStringList{"A>C"} << QStringList()
                                  << true << QStringList{"B=B", "C=A"};
    QTest::newRow("exchange two names") << QStringList{"A", "B"} << QStringList{"A>B", "B>A"}
                                        << QStringList() << true << QStringList{"A=B", "B=A"};
    QTest::newRow("rotate three names")
        << QStringList{"A", "B", "C"} << QStringList{"A>B", "B>C", "C>A"} << QStringList() << true
        << QStringList{"A=C", "B=A", "C=B"};
    QTest::newRow("reuse a removed favorite's name")
        << QStringList{"A", "B"} << QStringList{"B>A"} << QStringList{"A"} << true
        << QStringList{"A=B"};
    QTest::newRow("own name in other letter case")
        << QStringList{"web"} << QStringList{"web>Web"} << QStringList() << true
        << QStringList{"Web=web"};
    QTest::newRow("removals only") << QStringList{"A", "B", "C"} << QStringList()
                                   << QStringList{"C", "A"} << true << QStringList{"B=B"};
    QTest::newRow("a file gone meanwhile is skipped")
        << QStringList{"A"} << QStringList{"gone>new"} << QStringList{"gone too"} << true
        << QStringList{"A=A"};
    QTest::newRow("removal matches the exact name only")
        << QStringList{"a", "A"} << QStringList() << QStringList{"a"} << true << QStringList{"A=A"};
    QTest::newRow("refused: name of an entry that stays")
        << QStringList{"A", "B"} << QStringList{"A>b"} << QStringList() << false
        << QStringList{"A=A", "B=B"};
    QTest::newRow("refused: name of a hidden entry")
        << QStringList{"A", ".keep"} << QStringList{"A>.keep"} << QStringList() << false
        << QStringList{".keep=.keep", "A=A"};
    QTest::newRow("refused: two favorites to one name")
        << QStringList{"A", "B"} << QStringList{"A>C", "B>c"} << QStringList() << false
        << QStringList{"A=A", "B=B"};
    QTest::newRow("refused: empty name") << QStringList{"A", "B"} << QStringList{"B>C", "A>"}
                                         << QStringList{"B"} << false << QStringList{"A=A", "B=B"};
    QTest::newRow("refused: slash")
        << QStringList{"A"} << QStringList{"A>x/y"} << QStringList() << false << QStringList{"A=A"};
    QTest::newRow("refused: dot dot")
        << QStringList{"A"} << QStringList{"A>.."} << QStringList() << false << QStringList{"A=A"};
}

void tst_Favorites::edit()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, renames);
    QFETCH(QStringList, removed);
    QFETCH(bool, ok);
    QFETCH(QStringList, after);
    QTemporaryDir dir;
    makeEntries(QDir(dir.path()), entries);
    FavoritesEdit edit;
    for (const QString& pair : renames)
        edit.renames.push_back({pair.section('>', 0, 0), pair.section('>', 1)});
    edit.removed = removed;
    const FavoriteResult result = applyFavoritesEdit(dir.path(), edit);
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.error.isEmpty(), ok);
    QCOMPARE(folderContents(QDir(dir.path())), after);
}

void tst_Favorites::planNeverTargetsAnExistingName()
{
    // Whatever the order of the steps, no step may land on a name present at that moment.
    const QStringList entries{"A", "B", "C", ".quillon-rename-1"};
    FavoritesEdit edit;
    edit.renames = {{"A", "B"}, {"B", "C"}, {"C", "A"}};
    const FavoritesPlan plan = planFavoritesEdit(entries, edit);
    QVERIFY2(plan.ok, qPrintable(plan.error));
    QSet<QString> present(entries.begin(), entries.end());
    for (const FavoritesPlan::Step& step : plan.steps) {
        QVERIFY(present.contains(step.from));
        present.remove(step.from);
        if (step.op == FavoritesPlan::Op::Rename) {
            QVERIFY2(!present.contains(step.to), qPrintable(step.to));
            present.insert(step.to);
        }
    }
    QCOMPARE(present, QSet<QString>({"A", "B", "C", ".quillon-rename-1"}));
}

QTEST_GUILESS_MAIN(tst_Favorites)
#include "tst_favorites.moc"
