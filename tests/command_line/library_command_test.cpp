// `genart library …` and `genart render --entry`, run as a user would, on a library in a data
// folder of the test's own; and the pictures a window kept, listed and drawn again exactly.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "command_line/command_line.h"
#include "files/recipe_file.h"
#include "library/library_location.h"
#include "support/window_parts.h"
#include "support/file_contents.h"
#include "support/run_genart.h"

namespace genart {
namespace {

using testing::filesIn;
using testing::loadRgb;

struct Ran {
    int status = -1;
    QString out;
    QString errors;
};

class LibraryCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        libraryPath = dir.filePath(QStringLiteral("data/Orvanik/genart/library.sqlite"));
    }

    Ran run(const QStringList& arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setProcessEnvironment(environment);
        process.start(QString::fromUtf8(GENART_BINARY), arguments);
        process.waitForFinished(-1);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }
    Ran run(const char* arguments) const { return run(QString::fromUtf8(arguments).split(QLatin1Char(' '))); }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // Three pictures imported: a PNG, a JPEG, and a recipe text.
    void importThree()
    {
        ASSERT_EQ(run("render --seed 3 --out a.png --quiet").status, 0);
        ASSERT_EQ(run("render --seed 4 --out b.jpg --quiet").status, 0);
        const auto recipe = readRecipeFile(path("a.png").toStdString());
        Recipe third = std::get<Recipe>(recipe);
        third.imeslike = "T20261208120000";
        testing::put(path("c.txt"), QByteArray::fromStdString(recipeText(third)));
        const Ran imported = run("library import a.png b.jpg c.txt");
        ASSERT_EQ(imported.status, 0) << imported.errors.toStdString();
        EXPECT_EQ(imported.out, QStringLiteral("1\n2\n3\n"));
    }

    QJsonArray listed(const char* arguments = "library list --json")
    {
        const Ran listing = run(arguments);
        EXPECT_EQ(listing.status, 0) << listing.errors.toStdString();
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(listing.out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << listing.out.toStdString();
        return document.array();
    }

    QTemporaryDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString libraryPath;
};

TEST_F(LibraryCommand, ImportListFavouriteAndRemove)
{
    importThree();
    QJsonArray entries = listed();
    ASSERT_EQ(entries.size(), 3);
    const QJsonObject first = entries[0].toObject();
    EXPECT_EQ(first[QStringLiteral("id")].toInteger(), 1);
    EXPECT_EQ(first[QStringLiteral("origin")].toString(), QStringLiteral("imported"));
    EXPECT_FALSE(first[QStringLiteral("favourite")].toBool());
    EXPECT_TRUE(first[QStringLiteral("parents")].toArray().isEmpty());
    EXPECT_TRUE(first[QStringLiteral("added")].toString().contains(QLatin1Char('T')));
    // The recipe exactly as genart writes it into its files.
    const auto fromFile = readRecipeFile(path("b.jpg").toStdString());
    EXPECT_EQ(entries[1].toObject()[QStringLiteral("recipe")].toString().toStdString(),
              recipeText(std::get<Recipe>(fromFile)));
    EXPECT_EQ(entries[2].toObject()[QStringLiteral("name")].toString(), QStringLiteral("T20261208120000"));

    ASSERT_EQ(run("library favourite 1 3").status, 0);
    ASSERT_EQ(run("library favourite 3 --off").status, 0);
    entries = listed("library list --favourites --json");
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].toObject()[QStringLiteral("id")].toInteger(), 1);
    const Ran text = run("library list");
    EXPECT_TRUE(text.out.startsWith(QStringLiteral("1\t")));
    EXPECT_EQ(text.out.count(QLatin1Char('\n')), 3);
    EXPECT_TRUE(text.out.split(QLatin1Char('\n'))[0].endsWith(QStringLiteral("\tfavourite\timported\t-")));

    // A bad id anywhere: one line, exit status 2, nothing changed.
    const QByteArray before = testing::contents(libraryPath);
    for (const char* bad : {"library favourite 2 9", "library remove 9 1", "library export 4 --out-dir out"}) {
        const Ran refused = run(bad);
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_EQ(refused.errors.count(QLatin1Char('\n')), 1) << refused.errors.toStdString();
        EXPECT_TRUE(refused.errors.contains(QStringLiteral("no entry "))) << refused.errors.toStdString();
    }
    EXPECT_EQ(listed("library list --favourites --json").size(), 1);
    EXPECT_FALSE(QDir(path("out")).exists());

    ASSERT_EQ(run("library remove 2").status, 0);
    entries = listed();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[1].toObject()[QStringLiteral("id")].toInteger(), 3);
    // A removed id is gone for the command line: it cannot be rendered or removed again.
    EXPECT_EQ(run("library remove 2").status, 2);
    EXPECT_EQ(run("render --entry 2 --out x.png").status, 2);
    EXPECT_FALSE(QFile::exists(path("x.png")));
}

TEST_F(LibraryCommand, ExportAndRenderDrawEntriesAgainExactly)
{
    importThree();
    ASSERT_EQ(run("library favourite 1 2").status, 0);
    const Ran exported = run("library export --favourites --out-dir out --size 300x200 --format webp");
    ASSERT_EQ(exported.status, 0) << exported.errors.toStdString();
    const QStringList written = exported.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(filesIn(path("out")).size(), 2);
    for (const QString& file : written) { // as given: inside --out-dir
        EXPECT_TRUE(file.startsWith(QStringLiteral("out/"))) << file.toStdString();
        EXPECT_EQ(QImage(dir.filePath(file)).size(), QSize(300, 200));
        EXPECT_TRUE(std::holds_alternative<Recipe>(readRecipeFile(dir.filePath(file).toStdString())));
    }
    // A name already taken is numbered, never replaced.
    ASSERT_EQ(run("library export 1 --out-dir out --format webp --size 300x200").status, 0);
    EXPECT_EQ(filesIn(path("out")).size(), 3);

    ASSERT_EQ(run("render --entry 2 --out e.png --palette-out s.png --scale 2").status, 0);
    ASSERT_EQ(run("render --recipe b.jpg --out r.png --palette-out t.png --scale 2").status, 0);
    EXPECT_EQ(loadRgb(path("e.png")), loadRgb(path("r.png")));
    EXPECT_EQ(loadRgb(path("s.png")), loadRgb(path("t.png")));
    EXPECT_EQ(run("render --entry 2 --out e.png").status, 1); // not replaced without --force
    EXPECT_EQ(run("render --entry 2 --out e.png --force --size 60x45").status, 0);
    EXPECT_EQ(QImage(path("e.png")).size(), QSize(60, 45));

    // An entry's share code is the code of the picture it was imported from.
    const Ran code = run("code --entry 2");
    ASSERT_EQ(code.status, 0) << code.errors.toStdString();
    EXPECT_EQ(code.out, run("code b.jpg").out);
    EXPECT_EQ(run("code --entry 99").status, 2);

    // Variations of an entry are those of the picture it holds.
    ASSERT_EQ(run("render --entry 2 --variations 2 --out-dir ve --time 2026-12-08T12:00:00 --quiet").status, 0);
    ASSERT_EQ(run("render --recipe b.jpg --variations 2 --out-dir vr --time 2026-12-08T12:00:00 --quiet").status, 0);
    const QStringList made = filesIn(path("ve"));
    ASSERT_EQ(made.size(), 2);
    EXPECT_EQ(made, filesIn(path("vr")));
    for (const QString& name : made)
        EXPECT_EQ(loadRgb(path("ve") + QLatin1Char('/') + name), loadRgb(path("vr") + QLatin1Char('/') + name));
}

TEST_F(LibraryCommand, AMissingOrDamagedLibraryIsOneLineAndNothingWritten)
{
    for (const char* command : {"library list", "library favourite 1", "library export 1 --out-dir out",
                                "render --entry 1 --out x.png"}) {
        const Ran missing = run(command);
        EXPECT_EQ(missing.status, 1) << command;
        EXPECT_EQ(missing.errors.count(QLatin1Char('\n')), 1) << missing.errors.toStdString();
        EXPECT_TRUE(missing.errors.contains(QStringLiteral("there is no library at"))) << missing.errors.toStdString();
    }
    EXPECT_FALSE(QDir(path("data")).exists());

    ASSERT_TRUE(QDir().mkpath(QFileInfo(libraryPath).path()));
    const QByteArray damaged(9000, '\x5a');
    testing::put(libraryPath, damaged);
    for (const char* command : {"library list --json", "library import a.png", "render --entry 1 --out x.png"}) {
        if (QString::fromUtf8(command).contains(QStringLiteral("a.png"))) {
            ASSERT_EQ(run("render --seed 1 --out a.png --quiet").status, 0);
        }
        const Ran refused = run(command);
        EXPECT_EQ(refused.status, 1) << command;
        EXPECT_EQ(refused.out, QString()) << command;
        EXPECT_EQ(refused.errors.count(QLatin1Char('\n')), 1) << refused.errors.toStdString();
        EXPECT_TRUE(refused.errors.contains(QStringLiteral("file is not a database"))) << refused.errors.toStdString();
    }
    EXPECT_EQ(testing::contents(libraryPath), damaged); // left for the window to set aside
    EXPECT_FALSE(QFile::exists(path("x.png")));
    EXPECT_EQ(run("library import nothing.png").status, 2);
}

TEST_F(LibraryCommand, EveryPictureAWindowShowedIsListedAndRedrawnExactly)
{
    std::vector<QImage> shown;
    {
        TwisterRandom random;
        const FixedClock clock(2026, 5, 6, 7, 8, 9);
        Form1 form(random, clock, 77u, libraryPath);
        form.Form_Load();
        shown.push_back(form.picture1Surface().image().convertToFormat(QImage::Format_RGB32));
        QTest::mouseClick(testing::button(form, "Command5"), Qt::LeftButton);
        shown.push_back(form.picture1Surface().image().convertToFormat(QImage::Format_RGB32));
        QTest::mouseClick(testing::button(form, "Command1"), Qt::LeftButton);
        shown.push_back(form.picture1Surface().image().convertToFormat(QImage::Format_RGB32));
        form.close();
    }
    const QJsonArray entries = listed();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].toObject()[QStringLiteral("origin")].toString(), QStringLiteral("start"));
    EXPECT_EQ(entries[2].toObject()[QStringLiteral("origin")].toString(), QStringLiteral("command"));
    EXPECT_EQ(entries[2].toObject()[QStringLiteral("parents")].toArray(), QJsonArray{2});
    for (int n = 0; n < 3; ++n) {
        const QString id = QString::number(entries[n].toObject()[QStringLiteral("id")].toInteger());
        const QString out = path("entry.png");
        ASSERT_EQ(run({QStringLiteral("render"), QStringLiteral("--entry"), id, QStringLiteral("--out"), out,
                       QStringLiteral("--force")})
                      .status,
                  0);
        EXPECT_EQ(loadRgb(out), shown[static_cast<std::size_t>(n)]) << "entry " << n;
    }
}

TEST(LibraryCommandLine, BadCommandLinesAreToldInOneLine)
{
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"library", "show"}, "library: unknown command 'show'"},
        {{"library", "list", "--off"}, "library list: unknown option '--off'"},
        {{"library", "list", "3"}, "library list: unknown argument '3'"},
        {{"library", "list", "--json", "--json"}, "library list: option --json is given twice"},
        {{"library", "favourite"}, "library favourite: give the ids of the entries"},
        {{"library", "remove", "0"}, "library remove: an entry's id is a whole number from 1, not '0'"},
        {{"library", "remove", "-3"}, "library remove: an entry's id is a whole number from 1, not '-3'"},
        {{"library", "favourite", "99999999999999999999"}, "library favourite: an entry's id is a whole number from 1"},
        {{"library", "import"}, "library import: give the files to import"},
        {{"library", "export", "1"}, "library export: --out-dir is required"},
        {{"library", "export", "--out-dir", "d"}, "library export: give the entries' ids or --favourites"},
        {{"library", "export", "1", "--favourites", "--out-dir", "d"}, "library export: give the entries' ids or --favourites, not both"},
        {{"library", "export", "1", "--out-dir", "d", "--format", "gif"}, "library export: --format takes png, jpg, jpeg or webp, not 'gif'"},
        {{"library", "export", "1", "--out-dir=d", "--size", "20000x10"}, "library export: --size takes WIDTHxHEIGHT"},
        {{"library", "export", "1", "--out-dir", "d", "--quality", "50"}, "library export: --quality applies to jpg, jpeg and webp"},
        {{"library", "export", "1", "--out-dir", "d", "--format=webp", "--size", "16384x100"}, "library export: --format webp: "},
        {{"library", "export", "1", "--out-dir"}, "library export: option --out-dir needs a value"},
        {{"render", "--entry", "x", "--out", "a.png"}, "render: --entry takes an entry's id, a whole number from 1, not 'x'"},
        {{"render", "--entry", "2", "--seed", "1", "--out", "a.png"}, "render: --entry cannot be combined with --seed"},
        {{"render", "--entry", "2", "--animate", "--out", "a.webp"}, "render: --entry cannot be combined with --animate"},
    };
    for (const auto& c : cases) {
        const Command command = parseCommandLine(c.arguments);
        const auto* error = std::get_if<UsageError>(&command);
        ASSERT_NE(error, nullptr) << c.message;
        EXPECT_EQ(error->message.rfind(c.message, 0), 0u) << error->message;
    }
    const Command good = parseCommandLine({"library", "export", "3", "7", "--out-dir=d", "--size", "1920x1080",
                                           "--format", "jpg", "--quality", "80", "--no-caption"});
    const auto* request = std::get_if<LibraryRequest>(&good);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->ids, (std::vector<std::int64_t>{3, 7}));
    EXPECT_EQ(request->size, PictureSize::covering(1920, 1080));
    EXPECT_EQ(request->encoding.quality, 80);
    EXPECT_FALSE(request->caption);
    EXPECT_EQ(request->extension, "jpg");
    EXPECT_NE(usageText().find("genart library list [--favourites] [--json]"), std::string::npos);
}

} // namespace
} // namespace genart
