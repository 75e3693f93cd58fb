// SPDX-License-Identifier: MIT
#include "form2.h"

#include "appicon.h"
#include "appversion.h"
#include "module1.h"
#include "screenfit.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <qdrawutil.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The addresses live under reserved example domains.
const QString kWebAddress = u"http://www.example.org/vertlin"_s;
const QString kMailAddress = u"vertlin@example.org"_s;

const QString kDescription =
    u"Программа для конвертации русского текста написанного латинским шрифтом в текст "
    "написанный русским шрифтом и наоборот."_s;
const QString kRights = u"Свободная программа, лицензия MIT.\nПрограммирование: авторы Vertlin"_s;
const QString kCopyright = u"© 2026 Авторы Vertlin"_s;

// The window's frame and client area, and the centre line every label shares.
constexpr int kFrameTwips = 45;
constexpr int kClientWidthTwips = 4785;
constexpr int kClientHeightTwips = 3315;
constexpr int kCentreTwips = 2460;

QPointer<Form2> s_instance;

// A label that reports a click: a button pressed and released over it. It
// takes the press itself, so the window behind never sees the click.
class ClickLabel : public QLabel
{
public:
    ClickLabel(QWidget *parent, std::function<void()> onClick)
        : QLabel(parent), m_onClick(std::move(onClick))
    {
    }

protected:
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        event->accept();
        if (rect().contains(event->position().toPoint()))
            m_onClick();
    }

private:
    std::function<void()> m_onClick;
};

QFont labelFont(bool bold = false, bool underline = false)
{
    QFont font(u"MS Sans Serif"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void setTextColor(QWidget *widget, QColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

} // namespace

Form2 *Form2::instance()
{
    if (!s_instance)
        s_instance = new Form2;
    return s_instance;
}

bool Form2::isLoaded()
{
    return !s_instance.isNull();
}

QString Form2::webAddress()
{
    return kWebAddress;
}

QString Form2::mailTarget()
{
    return u"mailto:"_s + kMailAddress + u"?Subject="_s + AppVersion::current().fullTitle();
}

Form2::Form2() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(u"Form2"_s);
    setWindowIcon(appIcon());
    // Closing the About window never ends the program, and an About window
    // left open does not keep it running once the main window has gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QObject::deleteLater);

    // Open on the screen the user is working on.
    if (const QWidget *active = QApplication::activeWindow())
        setScreen(active->screen());

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    createControls();

    const int frame = Twips::toPixels(kFrameTwips, this);
    m_client->setGeometry(QRect(QPoint(frame, frame),
                                Twips::size(kClientWidthTwips, kClientHeightTwips, this)));
    setFixedSize(m_client->size() + QSize(2 * frame, 2 * frame));
    ScreenFit::centre(this);

    Form_Load();
}

Form2::~Form2() = default;

void Form2::createControls()
{
    // Clicks on the client area itself (and on the separator lines, which
    // let them through) reach the window.
    m_client = new QWidget(this);
    m_client->setObjectName(u"client"_s);
    createLines();
    createLabels();
    createLowerLabels();
    // The title's box runs over the lower half of the icon; a click on the
    // picture belongs to the picture.
    Image1->raise();
}

void Form2::createLines()
{
    struct Rule
    {
        const char16_t *name;
        int top;
        QColor color;
    };
    const QColor shadow = QApplication::palette().color(QPalette::Dark);
    for (const Rule &rule : {Rule{u"Line10", 675, shadow}, Rule{u"Line9", 690, QColor(224, 224, 224)},
                             Rule{u"Line1", 2835, shadow}, Rule{u"Line2", 2850, QColor(224, 224, 224)}}) {
        auto *line = new QWidget(m_client);
        line->setObjectName(QString::fromUtf16(rule.name));
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, rule.color);
        line->setPalette(palette);
        line->setAutoFillBackground(true);
        const int left = Twips::toPixels(240, this);
        line->setGeometry(left, Twips::toPixels(rule.top, this),
                          Twips::toPixels(4560, this) - left, 1);
    }
}

QLabel *Form2::makeLabel(const QString &name, const QColor &color, std::function<void()> onClick)
{
    auto *label = new ClickLabel(m_client, std::move(onClick));
    label->setObjectName(name);
    label->setFont(labelFont());
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColor(label, color);
    return label;
}

// Boxes of a fixed size; the text wraps inside.
void Form2::placeFixed(QLabel *label, int left, int top, int width, int height)
{
    label->setWordWrap(true);
    label->setGeometry(Twips::rect(left, top, width, height, this));
}

// One-line labels take the size of their text and sit on the centre line.
void Form2::placeFitted(QLabel *label, int top)
{
    const QSize size = label->sizeHint();
    label->setGeometry(Twips::toPixels(kCentreTwips, this) - size.width() / 2,
                       Twips::toPixels(top, this), size.width(), size.height());
}

void Form2::createLabels()
{
    Image1 = makeLabel(u"Image1"_s, Qt::black, [this] { Image1_Click(); });
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(appIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    placeFixed(Image1, 240, 120, 480, 480);

    Label1 = makeLabel(u"Label1"_s, QColor(0, 0, 128), [this] { Label1_Click(); });
    Label1->setFont(labelFont(true));
    // Only ever seen if the title could not be composed.
    Label1->setText(u"Vertlin"_s);
    placeFixed(Label1, 240, 360, 4455, 255);

    Label2 = makeLabel(u"Label2"_s, Qt::black, [this] { Label2_Click(); });
    Label2->setText(kDescription);
    placeFixed(Label2, 225, 795, 4440, 615);

    Label3 = makeLabel(u"Label3"_s, QColor(128, 0, 0), [this] { Label3_Click(); });
    Label3->setText(kRights);
    placeFixed(Label3, 240, 1470, 4440, 465);
}

// The two links, then the lines under them.
void Form2::createLowerLabels()
{
    Label7 = makeLabel(u"Label7"_s, QColor(0, 0, 192), [this] { Label7_Click(); });
    Label7->setFont(labelFont(false, true));
    Label7->setText(kWebAddress);
    Label7->setCursor(Qt::PointingHandCursor);
    Label7->setToolTip(u" Посетите сайт программы!!! "_s);
    placeFitted(Label7, 1950);

    Label5 = makeLabel(u"Label5"_s, QColor(0, 0, 192), [this] { Label5_Click(); });
    Label5->setFont(labelFont(false, true));
    Label5->setText(u"e-mail: "_s + kMailAddress);
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->setToolTip(u" Пишите!!! "_s);
    placeFitted(Label5, 2190);

    Label6 = makeLabel(u"Label6"_s, QColor(128, 0, 0), [this] { Label6_Click(1); });
    Label6->setText(kCopyright);
    placeFitted(Label6, 2550);

    Label4 = makeLabel(u"Label4"_s, Qt::black, [this] { Label4_Click(0); });
    Label4->setText(u"Freeware"_s);
    placeFitted(Label4, 2955);
}

void Form2::Form_Load()
{
    Label1->setText(AppVersion::current().fullTitle());
}

void Form2::Unload()
{
    hide();
    discard();
}

void Form2::discard()
{
    if (s_instance == this)
        s_instance = nullptr;
    deleteLater();
}

void Form2::closeEvent(QCloseEvent *event)
{
    // Closed from outside (the window manager): unloaded all the same.
    event->accept();
    discard();
}

void Form2::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void Form2::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (rect().contains(event->position().toPoint()))
        Form_Click();
}

void Form2::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // A raised dialog frame around the white client area.
    QPainter painter(this);
    const QPalette system = QApplication::palette();
    const int frame = Twips::toPixels(kFrameTwips, this);
    const QRegion ring = QRegion(rect()) - QRegion(rect().adjusted(frame, frame, -frame, -frame));
    painter.setClipRegion(ring);
    painter.fillRect(rect(), system.button());
    qDrawWinPanel(&painter, rect(), system, false);
}

void Form2::Form_Click()
{
    Unload();
}

void Form2::Image1_Click()
{
    Unload();
}

void Form2::Label1_Click()
{
    Unload();
}

void Form2::Label2_Click()
{
    Unload();
}

void Form2::Label3_Click()
{
    Unload();
}

void Form2::Label4_Click(qint16 index)
{
    Q_UNUSED(index);
    Unload();
}

void Form2::Label5_Click()
{
    // A refused request (no mail program) has nothing to tell the user.
    Module1::OpenDocument(mailTarget());
    Unload();
}

void Form2::Label6_Click(qint16 index)
{
    Q_UNUSED(index);
    Unload();
}

void Form2::Label7_Click()
{
    // The address opened is the one the user reads on the link.
    Module1::OpenDocument(Label7->text());
    Unload();
}
