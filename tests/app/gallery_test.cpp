// The gallery, opened with G: thumbnails newest first drawn from the recipes, filters, a click
// or Enter showing the entry in the main window, and the selection made favourites, removed and
// brought back, and exported.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/gallery_model.h"
#include "app/gallery_window.h"
#include "picture_files/picture_at_size.h"
#include "files/recipe_file.h"
#include "platform/qt/surface_view.h"
#include "support/window_parts.h"
#include "support/library_entries.h"
#include "support/modal_dialogs.h"
#include "support/sample_entries.h"

namespace genart {
namespace {

using testing::keptCount;

class Gallery : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")).toUtf8());
        auto form = std::make_unique<Form1>(random, clock, 5u, path);
        window = form.get();
        forms.push_back(std::move(form));
        window->Form_Load();
        // 40 more entries, some of them favourites.
        std::vector<NewEntry> more;
        for (const HistoryEntry& entry : testing::namedEntries(testing::drawnEntries(9), 40))
            more.push_back(testing::newEntry(entry));
        ids = std::get<std::vector<std::int64_t>>(window->library().addAll(more));
        ASSERT_FALSE(window->library().setFavourite({ids[3], ids[30]}, true));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_G);
        ASSERT_NE(testing::viewOf<GalleryWindow>(*window), nullptr);
        gallery = testing::viewOf<GalleryWindow>(*window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(gallery));
    }
    void TearDown() override { qunsetenv("XDG_CACHE_HOME"); }

    QAbstractItemModel& model() const { return *gallery->view->model(); }
    std::int64_t idAt(int row) const { return model().index(row, 0).data(GalleryModel::IdRole).toLongLong(); }
    void select(std::initializer_list<int> rows)
    {
        gallery->view->selectionModel()->clear();
        for (const int row : rows)
            gallery->view->selectionModel()->select(model().index(row, 0), QItemSelectionModel::Select);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    TwisterRandom random;
    FixedClock clock{2026, 5, 6, 7, 8, 9};
    std::vector<std::unique_ptr<Form1>> forms;
    Form1* window = nullptr;
    GalleryWindow* gallery = nullptr;
    std::vector<std::int64_t> ids;
};

TEST_F(Gallery, ShowsEveryEntryNewestFirstWithThumbnailsDrawnFromTheRecipes)
{
    ASSERT_EQ(model().rowCount(), 41);
    EXPECT_EQ(idAt(0), ids.back());
    EXPECT_EQ(idAt(40), ids.front() - 1); // the window's start-up
    EXPECT_TRUE(testing::view(*window, "Picture1")->actions().contains(testing::action(*window, "galleryAction")));

    // The first thumbnail, as drawn off the window's thread: the picture at a small scale.
    const LibraryEntry newest = std::get<LibraryEntry>(window->library().entry(ids.back()));
    const QImage expected =
        drawPicture(newest.shown.picture, PictureSize::covering(160, 120), false)->picture.convertToFormat(QImage::Format_RGB32);
    QTRY_COMPARE(model().index(0, 0).data(Qt::DecorationRole).value<QImage>().convertToFormat(QImage::Format_RGB32), expected);
    // …and kept in the cache folder for the next time.
    QTRY_VERIFY(!QDir(dir.filePath(QStringLiteral("cache/Orvanik/genart/thumbnails"))).isEmpty());

    gallery->favouritesOnly->setChecked(true);
    ASSERT_EQ(model().rowCount(), 2);
    EXPECT_EQ(idAt(0), ids[30]);
    EXPECT_TRUE(model().index(0, 0).data().toString().endsWith(QStringLiteral(" \u2605")));
    gallery->favouritesOnly->setChecked(false);
    const int formula = static_cast<int>(newest.shown.picture.picture.tip1);
    gallery->formula->setCurrentIndex(formula);
    ASSERT_GT(model().rowCount(), 0);
    EXPECT_LT(model().rowCount(), 41);
    for (int row = 0; row < model().rowCount(); ++row) {
        const auto entry = std::get<LibraryEntry>(window->library().entry(idAt(row)));
        EXPECT_EQ(static_cast<int>(entry.shown.picture.picture.tip1), formula);
    }
}

TEST_F(Gallery, AClickOrEnterShowsTheEntryInTheMainWindowAsLeftAndRightWould)
{
    const QRect third = gallery->view->visualRect(model().index(2, 0));
    QTest::mouseClick(gallery->view->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(window->shownEntryId(), idAt(2));
    EXPECT_EQ(testing::label(*window, "placeLine")->text(), QStringLiteral("39 of 41"));
    const LibraryEntry entry = std::get<LibraryEntry>(window->library().entry(idAt(2)));
    EXPECT_EQ(window->session().recipe(), entry.shown.picture);

    gallery->view->setCurrentIndex(model().index(10, 0));
    QTest::keyClick(gallery->view, Qt::Key_Return);
    EXPECT_EQ(testing::label(*window, "placeLine")->text(), QStringLiteral("31 of 41"));
    EXPECT_EQ(keptCount(window->library()), 41u); // nothing added by looking
}

TEST_F(Gallery, TheSelectionIsMadeFavouriteRemovedAndBroughtBack)
{
    select({0, 1, 5});
    const std::vector<std::int64_t> chosen{idAt(0), idAt(1), idAt(5)};
    QTest::keyClick(gallery->view, Qt::Key_F);
    EntryFilter favourites;
    favourites.favouritesOnly = true;
    EXPECT_EQ(std::get<std::int64_t>(window->library().count(favourites)), 5);
    select({0, 1, 5});
    gallery->favouriteButton->click(); // all were: none is
    EXPECT_EQ(std::get<std::int64_t>(window->library().count(favourites)), 2);

    select({0, 1, 5});
    QTest::keyClick(gallery->view, Qt::Key_Delete);
    EXPECT_EQ(model().rowCount(), 38);
    EXPECT_EQ(keptCount(window->library()), 38u);
    select({0});
    const std::int64_t alsoRemoved = idAt(0);
    gallery->removeButton->click();
    QTest::keyClick(gallery->view, Qt::Key_Z, Qt::ControlModifier); // the last removal comes back
    EXPECT_EQ(model().rowCount(), 38);
    EXPECT_EQ(idAt(0), alsoRemoved);
    EXPECT_TRUE(gallery->status->text().contains(QStringLiteral("back in the library")));

    // The removals not taken back go for good when the window closes.
    forms.clear();
    auto library = std::get<std::unique_ptr<Library>>(Library::open(path.toStdString()));
    EXPECT_EQ(keptCount(*library), 38u);
    for (const std::int64_t id : chosen)
        EXPECT_TRUE(library->restore({id}).has_value()) << "entry " << id << " is still there to restore";
}

TEST_F(Gallery, TheSelectionIsExportedAtTheSizeAndFormatChosen)
{
    select({0, 3});
    const QString out = dir.filePath(QStringLiteral("exported"));
    QSignalSpy exported(gallery, &GalleryWindow::exported);
    testing::whenOpen<QDialog>([&](QDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("exportFolder"))->setText(out);
        dialog->findChild<QComboBox*>(QStringLiteral("exportSize"))->setCurrentIndex(5); // Full HD
        dialog->findChild<QComboBox*>(QStringLiteral("exportFormat"))->setCurrentIndex(2); // WebP
        dialog->accept();
    });
    gallery->exportButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(exported.count(), 1, 60000);
    EXPECT_EQ(exported.at(0).at(1).toString(), QString());
    const QStringList files = exported.at(0).at(0).toStringList();
    ASSERT_EQ(files.size(), 2);
    for (const QString& file : files) {
        EXPECT_TRUE(file.endsWith(QStringLiteral(".webp")));
        EXPECT_EQ(QImage(file).size(), QSize(1920, 1080));
    }
    const auto recipe = readRecipeFile(files[1].toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    EXPECT_EQ(std::get<Recipe>(recipe), std::get<LibraryEntry>(window->library().entry(idAt(3))).shown.picture);
    EXPECT_TRUE(gallery->status->text().startsWith(QStringLiteral("Exported 2 pictures")));
}

} // namespace
} // namespace genart
