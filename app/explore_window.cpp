#include "app/explore_window.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

#include "app/candidate_tile.h"
#include "app/form1.h"
#include "explore/mixes.h"
#include "explore/new_pictures.h"
#include "explore/recolourings.h"
#include "picture_files/picture_at_size.h"
#include "generator/image_generator.h"

namespace genart {
namespace {

// The grid: 4 by 3 candidates, 5 by 4 where the screen has room.
struct GridShape {
    int columns;
    int rows;
    QSize thumbnail;
};

GridShape gridFor(const QScreen* screen)
{
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    if (room.width() >= 1500 && room.height() >= 980)
        return {5, 4, {240, 180}};
    return {4, 3, {240, 180}};
}

constexpr int kStrengthSteps = 100;
constexpr int kMiddleStrength = 50;

QPushButton* commandButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus); // Space and Enter belong to the grid
    return button;
}

QCheckBox* lockBox(const QString& text, const QString& tip, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setToolTip(tip);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

std::vector<std::int64_t> joined(std::vector<std::int64_t> one, const std::vector<std::int64_t>& other)
{
    for (const std::int64_t entry : other)
        if (std::find(one.begin(), one.end(), entry) == one.end())
            one.push_back(entry);
    return one;
}

} // namespace

std::vector<std::int64_t> entriesOfShownPicture(const Form1& form)
{
    if (const auto id = form.shownEntryId())
        return {*id};
    return {};
}

ExploreWindow::ExploreWindow(Form1& form, RandomSource& random, const Clock& clock)
    : QWidget(&form, Qt::Window), form_(form), random_(random), clock_(clock)
{
    setWindowTitle(tr("genart: explore"));
    setFocusPolicy(Qt::StrongFocus);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(20, 20, 20));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    setPalette(dark);
    setAutoFillBackground(true);

    const GridShape shape = gridFor(form.screen());
    devicePixels_ = std::max(1.0, std::ceil(form.devicePixelRatioF()));
    const auto side = [this](int pixels) { return static_cast<int>(pixels * devicePixels_); };
    thumbnailSize_ = PictureSize::covering(side(shape.thumbnail.width()), side(shape.thumbnail.height()));
    buildControls();
    buildGrid(shape.columns, shape.rows, shape.thumbnail);
}

ExploreWindow::~ExploreWindow()
{
    stopDrawing();
    thumbnailThreads_.waitForDone();
}

void ExploreWindow::buildControls()
{
    title = new QLabel(this);
    newButton = commandButton(tr("New (E)"), tr("What the next presses of new img / new palette would draw"), this);
    variationsButton = commandButton(tr("Variations (V)"), tr("The picture shown, its values moved as far as the "
                                                              "strength says; formula and strip kept"), this);
    recolouringsButton = commandButton(tr("Recolourings (R)"), tr("The picture shown in new colours"), this);
    refreshButton = commandButton(tr("Refresh (Space)"), tr("The picture shown with what is locked kept and the "
                                                            "rest drawn anew"), this);
    mixButton = commandButton(tr("Mix"), tr("Children of the two candidates chosen with Ctrl+click, or of the one "
                                            "chosen and the picture shown"), this);
    mixButton->setEnabled(false);
    strengthSlider = new QSlider(Qt::Horizontal, this);
    strengthSlider->setRange(0, kStrengthSteps);
    strengthSlider->setValue(kMiddleStrength);
    strengthSlider->setFocusPolicy(Qt::NoFocus);
    strengthSlider->setToolTip(tr("How far variations go: subtle on the left, wild on the right"));
    strengthSlider->setMinimumWidth(140);
    keepFormula = lockBox(tr("Keep formula"), tr("Keep the shape formula and its channel and tone variants"), this);
    keepForm = lockBox(tr("Keep form"), tr("Keep the centre's phase and radius and the channel factors"), this);
    keepColours = lockBox(tr("Keep colours"), tr("Keep the palette and where the picture starts in it"), this);

    connect(newButton, &QPushButton::clicked, this, &ExploreWindow::showNewPictures);
    connect(variationsButton, &QPushButton::clicked, this, &ExploreWindow::showVariations);
    connect(recolouringsButton, &QPushButton::clicked, this, &ExploreWindow::showRecolourings);
    connect(refreshButton, &QPushButton::clicked, this, &ExploreWindow::refresh);
    connect(mixButton, &QPushButton::clicked, this, &ExploreWindow::mixChosen);
    // The same variations, or the same fresh values, grow or change as the controls move.
    connect(strengthSlider, &QSlider::valueChanged, this, [this] {
        if (grid_ == Grid::Variations)
            showVariationsAtStrength();
        else
            showVariations();
    });
    for (QCheckBox* lock : {keepFormula, keepForm, keepColours})
        connect(lock, &QCheckBox::toggled, this, [this] {
            if (grid_ == Grid::Locked)
                showLocked();
            else
                refresh();
        });
}

void ExploreWindow::buildGrid(int columns, int rows, QSize thumbnail)
{
    columns_ = columns;
    auto* commands = new QHBoxLayout;
    for (QPushButton* button : {newButton, variationsButton, recolouringsButton, refreshButton, mixButton})
        commands->addWidget(button);
    commands->addSpacing(16);
    commands->addWidget(new QLabel(tr("subtle"), this));
    commands->addWidget(strengthSlider);
    commands->addWidget(new QLabel(tr("wild"), this));
    commands->addSpacing(16);
    for (QCheckBox* lock : {keepFormula, keepForm, keepColours})
        commands->addWidget(lock);
    commands->addStretch();

    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    for (int n = 0; n < columns * rows; ++n) {
        auto* tile = new CandidateTile(n, thumbnail, this);
        connect(tile, &CandidateTile::picked, this, &ExploreWindow::pick);
        connect(tile, &CandidateTile::choiceToggled, this, &ExploreWindow::toggleChoice);
        grid->addWidget(tile, n / columns, n % columns);
        tiles.push_back(tile);
    }
    auto* hint = new QLabel(tr("Click, Enter or 1–9: show it in the main window  ·  arrows: move  ·  "
                               "Ctrl+click two (or one and the picture shown), then Mix"),
                            this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(commands);
    layout->addWidget(title);
    layout->addLayout(grid);
    layout->addWidget(hint);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

Recipe ExploreWindow::shownPicture() const
{
    return form_.session().recipe();
}

double ExploreWindow::strength() const
{
    return static_cast<double>(strengthSlider->value()) / kStrengthSteps;
}

explore::Locks ExploreWindow::locks() const
{
    return {keepFormula->isChecked(), keepForm->isChecked(), keepColours->isChecked()};
}

void ExploreWindow::showNewPictures()
{
    const std::vector<Recipe> pictures =
        explore::newPictures(form_.session().state().carried, random_, clock_, candidateCount());
    title->setText(tr("New pictures: what the next %1 presses of new img / new palette draw").arg(candidateCount()));
    present(Grid::New, explore::Origin::Explore, pictures, {});
}

void ExploreWindow::showVariations()
{
    base_ = shownPicture();
    baseParents_ = entriesOfShownPicture(form_);
    name_ = pictureNameNow(clock_);
    steps_ = explore::drawVariationSteps(random_, candidateCount());
    showVariationsAtStrength();
}

void ExploreWindow::showVariationsAtStrength()
{
    title->setText(tr("Variations of the picture shown: formula and strip kept, strength %1 %")
                       .arg(strengthSlider->value()));
    present(Grid::Variations, explore::Origin::Variation, explore::variations(base_, steps_, strength(), name_),
            baseParents_);
}

void ExploreWindow::showRecolourings()
{
    const std::vector<Recipe> coloured =
        explore::recolourings(shownPicture(), random_, candidateCount(), pictureNameNow(clock_));
    title->setText(tr("The picture shown in new colours"));
    present(Grid::Recolourings, explore::Origin::Recolour, coloured, entriesOfShownPicture(form_));
}

void ExploreWindow::refresh()
{
    base_ = shownPicture();
    baseParents_ = entriesOfShownPicture(form_);
    name_ = pictureNameNow(clock_);
    fresh_ = explore::drawFreshValues(random_, candidateCount());
    showLocked();
}

void ExploreWindow::showLocked()
{
    const explore::Locks kept = locks();
    QStringList parts;
    if (kept.formula)
        parts << tr("formula");
    if (kept.form)
        parts << tr("form");
    if (kept.colours)
        parts << tr("colours");
    title->setText(parts.isEmpty() ? tr("Everything drawn anew: lock what to keep")
                                   : tr("The picture shown with its %1 kept, the rest drawn anew")
                                         .arg(parts.join(QStringLiteral(", "))));
    present(Grid::Locked, explore::originOf(kept), explore::withLocks(base_, fresh_, kept, name_), baseParents_);
}

void ExploreWindow::mixChosen()
{
    if (chosen_.empty() || chosen_.size() > 2)
        return;
    const Candidate first = candidates_.at(static_cast<std::size_t>(*chosen_.begin()));
    const Candidate second = chosen_.size() == 2
        ? candidates_.at(static_cast<std::size_t>(*chosen_.rbegin()))
        : Candidate{shownPicture(), entriesOfShownPicture(form_)};
    title->setText(chosen_.size() == 2 ? tr("Children of the two chosen: the form of one, the colours of the other")
                                       : tr("Children of the one chosen and the picture shown"));
    present(Grid::Mix, explore::Origin::Mix,
            explore::mixes(first.recipe, second.recipe, candidateCount(), pictureNameNow(clock_)),
            joined(first.parents, second.parents));
}

void ExploreWindow::present(Grid grid, explore::Origin origin, const std::vector<Recipe>& recipes,
                            const std::vector<std::int64_t>& parents)
{
    grid_ = grid;
    origin_ = origin;
    candidates_.clear();
    for (const Recipe& recipe : recipes)
        candidates_.push_back({recipe, parents});
    chosen_.clear();
    for (CandidateTile* tile : tiles)
        tile->setChosen(false);
    mixButton->setEnabled(false);
    setCurrent(std::min(current_, candidateCount() - 1));
    drawThumbnails();
}

void ExploreWindow::pick(int index)
{
    if (index < 0 || index >= static_cast<int>(candidates_.size()))
        return;
    setCurrent(index);
    const Candidate& chosen = candidates_[static_cast<std::size_t>(index)];
    form_.showNewEntry({chosen.recipe, chosen.recipe.palette}, explore::originName(origin_), chosen.parents);
}

void ExploreWindow::toggleChoice(int index)
{
    if (index >= static_cast<int>(candidates_.size()))
        return;
    if (!chosen_.erase(index)) {
        if (chosen_.size() == 2)
            return; // two at most: take one back first
        chosen_.insert(index);
    }
    tiles[static_cast<std::size_t>(index)]->setChosen(chosen_.count(index) > 0);
    mixButton->setEnabled(!chosen_.empty());
}

void ExploreWindow::setCurrent(int index)
{
    current_ = std::max(0, index);
    for (CandidateTile* tile : tiles)
        tile->setCurrent(tile->index() == current_);
}

void ExploreWindow::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9)
        pick(key - Qt::Key_1);
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        pick(current_);
    else if (key == Qt::Key_E)
        showNewPictures();
    else if (key == Qt::Key_V)
        showVariations();
    else if (key == Qt::Key_R)
        showRecolourings();
    else if (key == Qt::Key_Space)
        refresh();
    else if (key == Qt::Key_Escape)
        close();
    else if (const int step = key == Qt::Key_Left ? -1
                                : key == Qt::Key_Right ? 1
                                : key == Qt::Key_Up    ? -columns_
                                : key == Qt::Key_Down  ? columns_
                                                       : 0)
        setCurrent(std::clamp(current_ + step, 0, candidateCount() - 1));
    else
        QWidget::keyPressEvent(event);
}

QImage ExploreWindow::thumbnail(int index) const
{
    return tiles.at(static_cast<std::size_t>(index))->thumbnail();
}

void ExploreWindow::drawThumbnails()
{
    stopDrawing();
    const int generation = ++generation_;
    drawn_ = 0;
    for (CandidateTile* tile : tiles)
        tile->setThumbnail(QImage());
    auto cancel = std::make_shared<CancelToken>();
    cancel_ = cancel;
    // Off the window's thread, as many at once as there are cores; each is shown as it is done.
    // A grid replaced meanwhile stops what it has not drawn yet.
    for (std::size_t n = 0; n < candidates_.size(); ++n) {
        const Recipe recipe = candidates_[n].recipe;
        thumbnailThreads_.start([this, recipe, n, generation, cancel] {
            if (cancel->cancelled())
                return;
            auto drawn = drawPicture(recipe, thumbnailSize_, true, {}, cancel.get());
            if (!drawn)
                return;
            QImage image = std::move(drawn->picture);
            image.setDevicePixelRatio(devicePixels_);
            QMetaObject::invokeMethod(
                this, [this, generation, n, image] { thumbnailDrawn(generation, static_cast<int>(n), image); },
                Qt::QueuedConnection);
        });
    }
}

void ExploreWindow::thumbnailDrawn(int generation, int index, const QImage& image)
{
    if (generation != generation_)
        return; // a grid since replaced
    tiles[static_cast<std::size_t>(index)]->setThumbnail(image);
    if (++drawn_ == candidateCount())
        emit gridComplete();
}

void ExploreWindow::stopDrawing()
{
    if (cancel_)
        cancel_->cancel();
}

} // namespace genart
