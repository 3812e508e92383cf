#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/form1.h"
#include "app/share_actions.h"
#include "files/image_output.h"
#include "files/recipe_file.h"
#include "opening/shared_recipe.h"
#include "platform/qt/surface_view.h"
#include "share_codes/share_code.h"
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
    const QPoint at = form.Picture1->mapTo(&form, QPoint(0, 0));
    return rgb(form.grab(QRect(at, form.Picture1->size())).toImage());
}

// A picture made elsewhere: another session, some presses on.
struct Elsewhere {
    Elsewhere()
    {
        session.startUp(99);
        session.perform(Action::Both);
        session.perform(Action::Image);
    }
    TwisterRandom random{99};
    FixedClock clock{2025, 1, 2, 3, 4, 5};
    ImageSurface picture{kPictureWidth, kPictureHeight};
    ImageSurface strip{kStripWidth, kStripHeight};
    PictureSession session{random, clock, picture, strip};
};

class SharingInTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.Form_Load();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        ASSERT_NE(rgb(elsewhere.picture.image()), shownPicture(form));
    }

    QString write(const char* name, const QByteArray& bytes) const
    {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QString picture(const char* name) const
    {
        const QString path = dir.filePath(QString::fromUtf8(name));
        EXPECT_EQ(writeImages({{path.toStdString(), elsewhere.picture.image(), recipeText(elsewhere.session.recipe())}},
                              true),
                  "");
        return path;
    }

    // The window shows the picture from elsewhere exactly, as the newest entry, and says so.
    void expectOpened(std::size_t entries, const std::string& how)
    {
        EXPECT_EQ(shownPicture(form), rgb(elsewhere.picture.image())) << how;
        EXPECT_EQ(form.session().recipe(), elsewhere.session.recipe()) << how;
        EXPECT_EQ(form.history().size(), entries) << how;
        EXPECT_EQ(form.history().index(), entries - 1) << how;
        EXPECT_TRUE(form.statusLine->text().startsWith(QStringLiteral("Opened T20250102030405"))) << how;
    }

    void drop(QMimeData* data)
    {
        const QPoint at = form.Picture1->mapTo(&form, QPoint(100, 100));
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &dropped);
        delete data;
    }

    static QMimeData* files(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        return data;
    }

    static QMimeData* text(const QString& text)
    {
        auto* data = new QMimeData;
        data->setText(text);
        return data;
    }

    Elsewhere elsewhere;
    TwisterRandom random;
    FixedClock clock{2026, 7, 8, 9, 10, 11};
    Form1 form{random, clock, 4242u};
    QTemporaryDir dir;
};

TEST_F(SharingInTheWindow, ControlOOpensAPictureFileExactly)
{
    const QString path = picture("shared.jpg"); // its pixels are approximate, its recipe is not
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    expectOpened(2, "Ctrl+O");
    EXPECT_TRUE(form.Picture1->actions().contains(form.share->openAction));
    EXPECT_EQ(form.share->openAction->text(), QStringLiteral("Open…"));
}

TEST_F(SharingInTheWindow, DroppedFilesOfEveryKindOpenExactly)
{
    const std::string text = recipeText(elsewhere.session.recipe());
    const QStringList paths{picture("a.png"), picture("a.webp"), picture("a.jpeg"),
                            write("a.genart", QByteArray::fromStdString(text))};
    std::size_t entries = 1;
    for (const QString& path : paths) {
        form.showPrevious(); // something else on the screen first
        drop(files({path}));
        expectOpened(++entries, path.toStdString());
    }
}

TEST_F(SharingInTheWindow, PastingACodeARecipeAPictureOrAFileUrlOpensIt)
{
    const Recipe& recipe = elsewhere.session.recipe();
    QImage carrying = elsewhere.picture.image();
    carrying.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(recipeText(recipe)));
    auto* image = new QMimeData;
    image->setImageData(carrying);
    const std::vector<QMimeData*> pasted{
        text(QStringLiteral("  %1\n").arg(QString::fromStdString(shareCode(recipe)))),
        text(QString::fromStdString(recipeText(recipe))), image,
        text(QUrl::fromLocalFile(picture("b.png")).toString())};
    std::size_t entries = 1;
    for (QMimeData* data : pasted) {
        form.showPrevious();
        const QString what = data->hasImage() ? QStringLiteral("an image") : data->text().left(40);
        QGuiApplication::clipboard()->setMimeData(data);
        QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);
        expectOpened(++entries, what.toStdString());
    }
}

TEST_F(SharingInTheWindow, CopiesCarryTheRecipeAndTheCodeToAnotherWindow)
{
    form.showNewEntry({elsewhere.session.recipe(), elsewhere.session.palette()}, "opened");
    TwisterRandom otherRandom;
    Form1 other(otherRandom, clock, 1u);
    other.Form_Load();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    form.activateWindow(); // keys go to the active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(rgb(qvariant_cast<QImage>(copied->imageData())), rgb(elsewhere.picture.image()));
    EXPECT_EQ(copied->data(QString::fromLatin1(kRecipeMimeType)).toStdString(),
              recipeText(elsewhere.session.recipe()));
    other.share->pasteAction->trigger();
    EXPECT_EQ(shownPicture(other), rgb(elsewhere.picture.image())) << other.statusLine->text().toStdString();
    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), shareCode(elsewhere.session.recipe()));
    EXPECT_TRUE(form.Picture1->actions().contains(form.share->copyCodeAction));
}

TEST_F(SharingInTheWindow, HostileOrForeignDropsAndPastesAreRefusedInOneLine)
{
    ::mkfifo(dir.filePath(QStringLiteral("fifo.png")).toLocal8Bit().constData(), 0600);
    QByteArray fakePng("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR", 16);
    fakePng.append(QByteArray(1 << 20, '\xff'));
    QImage plain(40, 30, QImage::Format_RGB32);
    plain.fill(Qt::red);
    plain.save(dir.filePath(QStringLiteral("plain.png")));
    auto* foreignRecipe = new QMimeData;
    foreignRecipe->setData(QString::fromLatin1(kRecipeMimeType), QByteArray("genart-recipe=1\nimeslike=x\n"));
    auto* plainImage = new QMimeData;
    plainImage->setImageData(plain);
    std::string damaged = shareCode(elsewhere.session.recipe());
    damaged[30] = damaged[30] == 'A' ? 'B' : 'A';

    const std::vector<QMimeData*> hostile{
        files({write("noise.genart", QByteArray(3000, '\x01'))}),
        files({write("big.png", fakePng)}),
        files({dir.filePath(QStringLiteral("plain.png"))}),
        files({dir.filePath(QStringLiteral("fifo.png"))}),
        files({dir.path()}),
        files({dir.filePath(QStringLiteral("missing.png"))}),
        files({picture("one.png"), picture("two.png")}),
        text(QStringLiteral("https://example.org/picture.png")),
        text(QStringLiteral("hello\nworld")),
        text(QString::fromStdString(damaged)),
        text(QStringLiteral("genart:") + QString(100000, QLatin1Char('A'))),
        foreignRecipe,
        plainImage,
        new QMimeData,
    };
    const QImage before = shownPicture(form);
    const Recipe recipe = form.session().recipe();
    for (std::size_t n = 0; n < hostile.size(); ++n) {
        if (n % 2 == 0) {
            drop(hostile[n]);
        } else {
            QGuiApplication::clipboard()->setMimeData(hostile[n]);
            form.share->pasteAction->trigger();
        }
        const QString said = form.statusLine->text();
        EXPECT_TRUE(said.startsWith(QStringLiteral("Not opened: "))) << n << ": " << said.toStdString();
        EXPECT_FALSE(said.contains(QLatin1Char('\n'))) << said.toStdString();
        EXPECT_LT(said.size(), 200) << said.toStdString();
        EXPECT_TRUE(form.statusLine->isVisible());
        EXPECT_EQ(form.history().size(), 1u) << n;
        EXPECT_EQ(form.session().recipe(), recipe) << n;
    }
    EXPECT_EQ(shownPicture(form), before);
}

TEST_F(SharingInTheWindow, SaveRecipeWritesAGenartFileThatOpensAgain)
{
    testing::usePrivateSettings();
    form.showNewEntry({elsewhere.session.recipe(), elsewhere.session.palette()}, "opened");
    const QString path = dir.filePath(QStringLiteral("kept.genart"));
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_TRUE(dialog->selectedFiles().value(0).endsWith(QStringLiteral("T20250102030405.genart")));
        dialog->selectFile(dir.filePath(QStringLiteral("kept")));
        static_cast<QDialog*>(dialog)->accept();
    });
    form.share->saveRecipeAction->trigger();
    const auto read = readRecipeFile(path.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << std::get<RecipeError>(read).message;
    EXPECT_EQ(std::get<Recipe>(read), elsewhere.session.recipe());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.genart")});
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(SharingInTheWindow, TheSaveDialogRefusesAWrongExtensionAndStaysOpen)
{
    testing::usePrivateSettings();
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
    form.saveAction->trigger();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(warned.contains(QStringLiteral("picture.gif"))) << warned.toStdString();
    EXPECT_TRUE(warned.contains(QStringLiteral("not a picture format"))) << warned.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("picture.png")});
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace
} // namespace genart
