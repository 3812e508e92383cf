#include "app/form1.h"

#include <QPalette>
#include <QPushButton>

#include "platform/surface_view.h"

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
    : random_(random), fixedSeed_(fixedSeed), picture1_(600, 450), picture2_(601, 33),
      session_(random, clock, picture1_, picture2_)
{
    setWindowTitle(QStringLiteral("Form1"));
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
}

void Form1::Form_Load()
{
    showMaximized();
    random_.seed(fixedSeed_ ? *fixedSeed_ : seedFromTimeOfDay());
    session_.storeCaptionTexts();
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::black);
    setPalette(background);
    setAutoFillBackground(true);
    session_.setPictureGeometry();
    session_.NewPalette();
    session_.NewImage();
    showSurfaces();
}

void Form1::Command1_Click()
{
    session_.NewImage();
    showSurfaces();
}

void Form1::Command2_Click()
{
    close();
}

void Form1::Command3_Click()
{
    session_.NewPalette();
    showSurfaces();
}

void Form1::Command5_Click()
{
    session_.NewPalette();
    session_.NewImage();
    showSurfaces();
}

void Form1::showSurfaces()
{
    Picture1->update();
    Picture2->update();
}

} // namespace genart
