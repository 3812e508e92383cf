#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/form1.h"
#include "app/share_actions.h"
#include "picture_files/run_picture_job.h"
#include "files/recipe_file.h"
#include "opening/shared_recipe.h"
#include "platform/qt/surface_view.h"
#include "share_codes/share_code.h"
#include "support/window_parts.h"
#include "support/library_entries.h"
#include "support/modal_dialogs.h"

namespace genart {
namespace {

using testing::whenOpen;

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// What the window shows where its picture is, read from the window itself.
QImage shownPicture(Form1& form)
{
    const QPoint at = testing::view(form, "Picture1")->mapTo(&form, QPoint(0, 0));
    return rgb(form.grab(QRect(at, testing::view(form, "Picture1")->size())).toImage());
}

QMimeData* mime(const std::function<void(QMimeData&)>& fill)
{
    auto* data = new QMimeData;
    fill(*data);
    return data;
}

QMimeData* files(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    return mime([&](QMimeData& data) { data.setUrls(urls); });
}

QMimeData* text(const QString& text)
{
    return mime([&](QMimeData& data) { data.setText(text); });
}

class SharingInTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.startUp(99); // a picture made elsewhere
        session.perform(Action::Both);
        form.Form_Load();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        ASSERT_NE(rgb(picture.image()), shownPicture(form));
    }

    QString write(const char* name, const QByteArray& bytes) const
    {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QString pictureFile(const char* name) const
    {
        const QString path = dir.filePath(QString::fromUtf8(name));
        PictureJob job;
        job.source = RecipeSource{session.recipe()};
        job.path = path.toStdString();
        EXPECT_EQ(runPictureJob(job).failure, "");
        return path;
    }
    void drop(QMimeData* data)
    {
        const QPoint at = testing::view(form, "Picture1")->mapTo(&form, QPoint(100, 100));
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &dropped);
        delete data;
    }
    void paste(QMimeData* data)
    {
        QGuiApplication::clipboard()->setMimeData(data);
        form.activateWindow(); // keys go to the active window, which a closed dialog may have left
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);
    }

    TwisterRandom elsewhereRandom{99};
    FixedClock elsewhereClock{2025, 1, 2, 3, 4, 5};
    ImageSurface picture{kPictureWidth, kPictureHeight}, strip{kStripWidth, kStripHeight};
    PictureSession session{elsewhereRandom, elsewhereClock, picture, strip};
    TwisterRandom random;
    FixedClock clock{2026, 7, 8, 9, 10, 11};
    Form1 form{random, clock, 4242u};
    QTemporaryDir dir;
};

TEST_F(SharingInTheWindow, EveryWayOfOpeningShowsThePictureExactlyAsTheNewestEntry)
{
    const std::string recipe = recipeText(session.recipe());
    QImage carrying = picture.image();
    carrying.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(recipe));
    const std::vector<std::pair<const char*, std::function<void()>>> ways{
        {"Ctrl+O, a JPEG (its pixels approximate, its recipe exact)", [&] {
             const QString path = pictureFile("a.jpg");
             whenOpen<QFileDialog>([path](QFileDialog* dialog) {
                 dialog->selectFile(path);
                 static_cast<QDialog*>(dialog)->accept();
             });
             QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
         }},
        {"a PNG dropped", [&] { drop(files({pictureFile("a.png")})); }},
        {"a WebP dropped", [&] { drop(files({pictureFile("a.webp")})); }},
        {"a .genart dropped", [&] { drop(files({write("a.genart", QByteArray::fromStdString(recipe))})); }},
        {"a code pasted", [&] { paste(text(QString::fromStdString("  " + shareCode(session.recipe()) + "\n"))); }},
        {"a recipe text pasted", [&] { paste(text(QString::fromStdString(recipe))); }},
        {"an image with its recipe pasted", [&] { paste(mime([&](QMimeData& d) { d.setImageData(carrying); })); }},
        {"a file URL pasted", [&] { paste(text(QUrl::fromLocalFile(pictureFile("b.png")).toString())); }},
    };
    std::size_t entries = 1;
    for (const auto& [how, open] : ways) {
        testing::action(form, "previousAction")->trigger(); // something else on the screen first
        open();
        EXPECT_EQ(shownPicture(form), rgb(picture.image())) << how;
        EXPECT_EQ(form.session().recipe(), session.recipe()) << how;
        EXPECT_EQ(genart::testing::keptCount(form.library()), ++entries) << how;
        EXPECT_EQ(static_cast<std::size_t>(std::get<std::int64_t>(form.library().positionOf(*form.shownEntryId()))), entries - 1) << how;
        EXPECT_EQ(testing::label(form, "statusLine")->text(), QStringLiteral("Opened T20250102030405")) << how;
    }
    EXPECT_TRUE(testing::view(form, "Picture1")->actions().contains(testing::action(form, "openAction")));
}

TEST_F(SharingInTheWindow, CopiesCarryTheRecipeAndTheCodeToAnotherWindow)
{
    form.showNewEntry({session.recipe(), session.palette()}, "opened");
    TwisterRandom otherRandom;
    Form1 other(otherRandom, clock, 1u);
    other.Form_Load();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    form.activateWindow(); // keys go to the active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(rgb(qvariant_cast<QImage>(copied->imageData())), rgb(picture.image()));
    EXPECT_EQ(copied->data(QString::fromLatin1(kRecipeMimeType)).toStdString(), recipeText(session.recipe()));
    testing::action(other, "pasteAction")->trigger();
    EXPECT_EQ(shownPicture(other), rgb(picture.image()));

    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), shareCode(session.recipe()));
}

TEST_F(SharingInTheWindow, HostileOrForeignDropsAndPastesAreRefusedInOneLine)
{
    ::mkfifo(dir.filePath(QStringLiteral("fifo.png")).toLocal8Bit().constData(), 0600);
    QImage plain(40, 30, QImage::Format_RGB32);
    plain.fill(Qt::red);
    plain.save(dir.filePath(QStringLiteral("plain.png")));
    std::string damaged = shareCode(session.recipe());
    damaged[30] = damaged[30] == 'A' ? 'B' : 'A';

    const std::vector<QMimeData*> hostile{
        files({write("noise.genart", QByteArray(3000, '\x01'))}),
        files({write("big.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) + QByteArray(1 << 20, '\xff'))}),
        files({dir.filePath(QStringLiteral("plain.png"))}),
        files({dir.filePath(QStringLiteral("fifo.png"))}),
        files({dir.path()}),
        files({pictureFile("one.png"), pictureFile("two.png")}),
        text(QStringLiteral("https://example.org/picture.png")),
        text(QString::fromStdString(damaged)),
        text(QStringLiteral("genart:") + QString(100000, QLatin1Char('A'))),
        mime([](QMimeData& d) { d.setData(QString::fromLatin1(kRecipeMimeType), "genart-recipe=1\nimeslike=x\n"); }),
        mime([&](QMimeData& d) { d.setImageData(plain); }),
        new QMimeData,
    };
    const QImage before = shownPicture(form);
    for (std::size_t n = 0; n < hostile.size(); ++n) {
        n % 2 == 0 ? drop(hostile[n]) : paste(hostile[n]);
        const QString said = testing::label(form, "statusLine")->text();
        EXPECT_TRUE(said.startsWith(QStringLiteral("Not opened: "))) << n << ": " << said.toStdString();
        EXPECT_FALSE(said.contains(QLatin1Char('\n'))) << said.toStdString();
        EXPECT_TRUE(testing::label(form, "statusLine")->isVisible());
        EXPECT_EQ(genart::testing::keptCount(form.library()), 1u) << n;
    }
    EXPECT_EQ(shownPicture(form), before);
}

TEST_F(SharingInTheWindow, SaveRecipeWritesAGenartFileAndTheSaveDialogRefusesAWrongExtension)
{
    testing::usePrivateSettings();
    form.showNewEntry({session.recipe(), session.palette()}, "opened");
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_TRUE(dialog->selectedFiles().value(0).endsWith(QStringLiteral("T20250102030405.genart")));
        dialog->selectFile(dir.filePath(QStringLiteral("kept")));
        static_cast<QDialog*>(dialog)->accept();
    });
    testing::action(form, "saveRecipeAction")->trigger();
    const auto read = readRecipeFile(dir.filePath(QStringLiteral("kept.genart")).toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << std::get<RecipeError>(read).message;
    EXPECT_EQ(std::get<Recipe>(read), session.recipe());

    QString warned;
    bool stillOpen = false;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        whenOpen<QMessageBox>([&](QMessageBox* box) {
            warned = box->text();
            box->accept();
        });
        dialog->selectFile(dir.filePath(QStringLiteral("picture.gif")));
        static_cast<QDialog*>(dialog)->accept(); // the warning opens and is answered
        stillOpen = dialog->isVisible();
        dialog->selectFile(dir.filePath(QStringLiteral("picture.png")));
        static_cast<QDialog*>(dialog)->accept();
    });
    QSignalSpy saved(&form, &Form1::saved);
    testing::action(form, "saveAction")->trigger();
    ASSERT_TRUE(saved.count() > 0 || saved.wait(20000)); // it is written in the background
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(warned, QStringLiteral("picture.gif: not a picture format (use .png, .jpg, .jpeg or .webp)"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("kept.genart"), QStringLiteral("picture.png")}));
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace
} // namespace genart
