#include "app/form1.h"

#include <QAction>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QStandardPaths>

#include "files/picture_export.h"
#include "files/png_output.h"
#include "files/recipe_file.h"
#include "platform/qt/surface_view.h"

namespace genart {
namespace {

const char* const kBannerText =
    "GENERATIVE ART BY ORVANIK    web: www.orvanik.example    mail: art@orvanik.example";

QPushButton* makeButton(const char* caption, const QRect& geometry, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setGeometry(geometry);
    return button;
}

} // namespace

Form1::Form1(RandomSource& random, const Clock& clock, std::optional<std::uint32_t> fixedSeed)
    : fixedSeed_(fixedSeed), picture1_(kPictureWidth, kPictureHeight), picture2_(kStripWidth, kStripHeight),
      session_(random, clock, picture1_, picture2_)
{
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/genart/genart-256.png"))); // packaging/icons, as installed for the desktop
    resize(312, 213); // the restored size; the window opens maximized

    // The command buttons are 17 pixels high and 121 wide: their captions need a small face.
    QFont controls = font();
    controls.setPointSize(8);
    setFont(controls);
    QFont commands = controls;
    commands.setPointSize(7);

    // Created in tab order.
    Picture1 = new SurfaceView(picture1_, this);
    Picture1->move(32, 80);
    Command1 = makeButton("new img / old palette", QRect(648, 448, 121, 17), this);
    Command2 = makeButton("exit", QRect(648, 512, 41, 17), this);
    Picture2 = new SurfaceView(picture2_, this);
    Picture2->move(32, 552);
    Command3 = makeButton("change palette", QRect(648, 480, 121, 17), this);
    Command4 = makeButton(kBannerText, QRect(32, 616, 601, 25), this);
    Command5 = makeButton("new img / new palette", QRect(648, 416, 121, 17), this);

    for (QPushButton* command : {Command1, Command2, Command3, Command5})
        command->setFont(commands);

    setTabOrder(Picture1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Picture2);
    setTabOrder(Picture2, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Command5);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);

    saveAction = new QAction(tr("Save picture…"), this);
    saveAction->setShortcut(QKeySequence::Save);
    copyAction = new QAction(tr("Copy picture"), this);
    copyAction->setShortcut(QKeySequence::Copy);
    addAction(saveAction);
    addAction(copyAction);
    Picture1->addAction(saveAction);
    Picture1->addAction(copyAction);
    Picture1->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(saveAction, &QAction::triggered, this, &Form1::savePictureAs);
    connect(copyAction, &QAction::triggered, this, &Form1::copyPicture);
}

Form1::~Form1()
{
    // A poster still being drawn is abandoned, not left running past the window.
    if (poster_) {
        poster_->cancel();
        poster_->waitForFinished();
    }
}

void Form1::Form_Load()
{
    showMaximized();
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::black);
    setPalette(background);
    setAutoFillBackground(true);
    session_.startUp(fixedSeed_ ? *fixedSeed_ : seedFromTimeOfDay());
    showSurfaces();
}

void Form1::Command1_Click()
{
    perform(Action::Image);
}

void Form1::Command2_Click()
{
    close();
}

void Form1::Command3_Click()
{
    perform(Action::Palette);
}

void Form1::Command5_Click()
{
    perform(Action::Both);
}

void Form1::perform(Action action)
{
    session_.perform(action);
    showSurfaces();
}

QString Form1::savePicture(const QString& path, int scale)
{
    // The dialog has already asked before replacing a file.
    const QImage picture = pictureAtScale(session_.recipe(), picture1_.image(), scale);
    return QString::fromStdString(writePngs({{path.toStdString(), picture}}, true));
}

void Form1::savePosterInBackground(const QString& path, int scale)
{
    if (poster_)
        return; // one at a time; the save action is off meanwhile
    saveAction->setEnabled(false);
    posterProgress_ = new QProgressDialog(tr("Drawing the picture at %1× …").arg(scale), tr("Cancel"), 0, 100, this);
    posterProgress_->setWindowTitle(tr("Save picture"));
    posterProgress_->setMinimumDuration(300);
    poster_ = new QFutureWatcher<QString>(this);
    connect(poster_, &QFutureWatcher<QString>::progressValueChanged, posterProgress_, &QProgressDialog::setValue);
    connect(posterProgress_, &QProgressDialog::canceled, poster_, &QFutureWatcher<QString>::cancel);
    connect(poster_, &QFutureWatcher<QString>::finished, this, [this, path] {
        const bool cancelled = poster_->isCanceled() || poster_->future().resultCount() == 0;
        const QString failure = cancelled ? QString() : poster_->result();
        poster_->deleteLater();
        poster_ = nullptr;
        posterProgress_->deleteLater();
        posterProgress_ = nullptr;
        saveAction->setEnabled(true);
        if (!failure.isEmpty())
            QMessageBox::warning(this, tr("Save picture"), tr("The picture was not saved.\n\n%1").arg(failure));
        emit posterSaved(path, failure, cancelled);
    });

    const Recipe recipe = session_.recipe();
    poster_->setFuture(QtConcurrent::run([recipe, scale, path](QPromise<QString>& promise) {
        promise.setProgressRange(0, 100);
        std::atomic<bool> cancel{false};
        const auto exported = exportPicture(
            recipe, scale,
            [&](int done, int total) {
                promise.setProgressValue(done * 100 / total);
                if (promise.isCanceled())
                    cancel = true;
            },
            &cancel);
        if (exported && !promise.isCanceled())
            promise.addResult(QString::fromStdString(writePngs({{path.toStdString(), exported->picture}}, true)));
    }));
}

void Form1::copyPicture()
{
    QGuiApplication::clipboard()->setImage(picture1_.image());
}

void Form1::savePictureAs()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString name = QString::fromStdString(session_.recipe().imeslike) + QStringLiteral(".png");
    QFileDialog dialog(this, tr("Save picture"), QDir(folder).filePath(name), tr("PNG pictures (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // so the size choice can sit in it
    auto* size = new QComboBox(&dialog);
    for (const int scale : {1, 2, 4, 8})
        size->addItem(tr("%1× (%2 × %3 pixels)").arg(scale).arg(kPictureWidth * scale).arg(kPictureHeight * scale), scale);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(tr("Size:"), &dialog), row, 0);
        grid->addWidget(size, row, 1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    const int scale = size->currentData().toInt();
    if (scale > 1) {
        savePosterInBackground(path, scale);
        return;
    }
    const QString failure = savePicture(path, scale);
    if (!failure.isEmpty())
        QMessageBox::warning(this, tr("Save picture"), tr("The picture was not saved.\n\n%1").arg(failure));
}

void Form1::showSurfaces()
{
    Picture1->update();
    Picture2->update();
}

} // namespace genart
