#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QImage>
#include <QThreadPool>
#include <QWidget>

#include "explore/locks.h"
#include "platform/progress.h"
#include "explore/origin.h"
#include "explore/variations.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "session/picture_size.h"
#include "session/recipe.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace genart {

class CandidateTile;
class Form1;

// The explore view: a grid of candidates, drawn exactly at a small scale, to pick from. E shows
// what the next presses of "new img / new palette" would draw, V variations of the picture shown,
// R its recolourings, Space the picture shown with what is locked kept and the rest drawn anew;
// two candidates chosen with Ctrl+click (or one and the picture shown) give their children with
// Mix. A click, Enter or 1 to 9 shows a candidate in the main window and keeps it there; the view
// stays open for more. Candidates take their random values from the main window's generator.
class ExploreWindow final : public QWidget {
    Q_OBJECT
public:
    enum class Grid { New, Variations, Recolourings, Locked, Mix };

    ExploreWindow(Form1& form, RandomSource& random, const Clock& clock);
    ~ExploreWindow() override;

    void showNewPictures();
    void showVariations();
    void showRecolourings();
    void refresh();
    // The two candidates chosen, or the one chosen and the picture shown.
    void mixChosen();
    // Shows the candidate in the main window as drawn and keeps it there.
    void pick(int index);

    Grid grid() const { return grid_; }
    explore::Origin origin() const { return origin_; }
    int candidateCount() const { return static_cast<int>(tiles.size()); }
    const Recipe& candidate(int index) const { return candidates_.at(static_cast<std::size_t>(index)).recipe; }
    const std::vector<std::int64_t>& parentsOf(int index) const
    {
        return candidates_.at(static_cast<std::size_t>(index)).parents;
    }
    // The size each candidate is drawn at, in device pixels: the picture at a real scale.
    const PictureSize& thumbnailSize() const { return thumbnailSize_; }
    // Null until drawn.
    QImage thumbnail(int index) const;
    bool gridDrawn() const { return drawn_ == candidateCount(); }
    int current() const { return current_; }
    double strength() const;
    explore::Locks locks() const;

    QLabel* title = nullptr;
    QPushButton* newButton = nullptr;
    QPushButton* variationsButton = nullptr;
    QPushButton* recolouringsButton = nullptr;
    QPushButton* refreshButton = nullptr;
    QPushButton* mixButton = nullptr;
    QSlider* strengthSlider = nullptr; // 0 subtle .. 100 wild
    QCheckBox* keepFormula = nullptr;
    QCheckBox* keepForm = nullptr;
    QCheckBox* keepColours = nullptr;
    std::vector<CandidateTile*> tiles;

signals:
    // Every thumbnail of the grid now shown is drawn.
    void gridComplete();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Candidate {
        Recipe recipe;
        std::vector<std::int64_t> parents; // the library's entries it came from
    };

    void buildControls();
    void buildGrid(int columns, int rows, QSize thumbnail);
    Recipe shownPicture() const;
    // Shows these candidates in the grid, each with the library entries it came from, and has
    // their thumbnails drawn.
    void present(Grid grid, explore::Origin origin, const std::vector<Recipe>& recipes,
                 const std::vector<std::int64_t>& parents);
    void showVariationsAtStrength();
    void showLocked();
    void toggleChoice(int index);
    void setCurrent(int index);
    void drawThumbnails();
    void thumbnailDrawn(int generation, int index, const QImage& image);
    void stopDrawing();

    Form1& form_;
    RandomSource& random_;
    const Clock& clock_;
    PictureSize thumbnailSize_;
    double devicePixels_ = 1;

    Grid grid_ = Grid::New;
    explore::Origin origin_ = explore::Origin::Explore;
    std::vector<Candidate> candidates_;
    // What variations and locked pictures are made from, kept so the slider and the locks can
    // show the same candidates again.
    Recipe base_;
    std::vector<std::int64_t> baseParents_;
    std::string name_;
    std::vector<explore::VariationStep> steps_;
    std::vector<explore::FreshValues> fresh_;
    std::set<int> chosen_;
    int current_ = 0;
    int columns_ = 1;

    int generation_ = 0; // of the thumbnails being drawn
    int drawn_ = 0;
    std::shared_ptr<CancelToken> cancel_;
    QThreadPool thumbnailThreads_; // its own, so that a poster being saved holds up no thumbnail
};

// The library entries the picture shown in the main window came from: none until the window
// tells which entry it shows.
std::vector<std::int64_t> entriesOfShownPicture(const Form1& form);

} // namespace genart
