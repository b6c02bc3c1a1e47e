// The window built from its design, and its binding to the game.
#include "form1.h"

#include "card_face.h"
#include "designed_controls.h"
#include "qt_picture_loader.h"
#include "runtime_error.h"
#include "twips.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace window {

namespace {
GameKey gameKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return GameKey::Enter;
    case Qt::Key_Space: return GameKey::Space;
    case Qt::Key_PageDown: return GameKey::PageDown;
    case Qt::Key_Right: return GameKey::Right;
    case Qt::Key_Down: return GameKey::Down;
    case Qt::Key_F11: return GameKey::F11;
    case Qt::Key_Escape: return GameKey::Escape;
    default: return GameKey::Other;
    }
}
} // namespace

Form1::Form1(std::filesystem::path dataFolder, std::unique_ptr<reel::RandomSource> random, ErrorReport report,
             int decodingThreads, double scale)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      dataFolder_(std::move(dataFolder)), game_(*this, *this, std::move(random), std::move(report)),
      windowDpi_(scale > 0 ? design::kDesignDpi * scale : design::kDesignDpi),
      surface_(*this, pixelRect(design::form().rect)), decoding_(decodingThreads)
{
    const design::Control &form = design::form();
    setObjectName(QString::fromUtf8(form.id.name.data(), qsizetype(form.id.name.size())));
    setWindowTitle(QString::fromUtf8(form.text.data(), qsizetype(form.text.size())));
    setFixedSize(pixelRect(form.rect).size()); // 539 x 407: no resizing
    // Laid out and captioned left to right as designed, whatever direction the
    // application was given (Qt's -reverse); the children inherit it.
    setLayoutDirection(Qt::LeftToRight);
    QPalette formPalette = palette();
    formPalette.setColor(QPalette::Window, qtColor(form.back).value_or(Qt::black));
    setPalette(formPalette);
    setAutoFillBackground(true);

    built_.buildChildren(*this, surface_, form.id);
    // Line1 to Line8 keep their designed names for whoever asks by number.
    for (int number = 1; number <= int(lines_.size()); ++number)
        lines_[std::size_t(number - 1)] = &built_.get<Line>("Line" + std::to_string(number));
    picture1_ = &built_.get<PictureBox>(design::control(design::Role::ViewingArea));
    picture2_ = &built_.get<PictureBox>(design::control(design::Role::Marker));
    command1_ = &built_.get<CommandButton>(design::control(design::Role::StartButton));
    timer1_ = &built_.get<QTimer>(design::control(design::Role::Timer));
    buildCards();
    if (windowDpi_ != design::kDesignDpi) {
        applyDpi(windowDpi_, QPoint(0, 0));
        setFixedSize(pixelRect(form.rect, windowDpi_).size());
    }

    pointerIdle_ = new QTimer(this);
    pointerIdle_->setSingleShot(true);
    pointerIdle_->setInterval(GameController::kPointerHideMs);
    connect(pointerIdle_, &QTimer::timeout, this, [this] {
        if (game_.fullScreen())
            setCursor(Qt::BlankCursor);
    });
    // Keys reach the game before the control that has the focus.
    qApp->installEventFilter(this);

    frame_ = new QTimer(this);
    const QScreen *shownOn = screen();
    const qreal hertz = shownOn && shownOn->refreshRate() >= 1 ? shownOn->refreshRate() : 60;
    frame_->setInterval(std::max(1, int(1000 / hertz)));
    frame_->setTimerType(Qt::PreciseTimer);

    const std::vector<const design::Control *> tabOrder = design::tabOrder();
    for (std::size_t k = 1; k < tabOrder.size(); ++k)
        QWidget::setTabOrder(&built_.get<QWidget>(*tabOrder[k - 1]), &built_.get<QWidget>(*tabOrder[k]));
    // The first control in tab order holds the focus when shown.
    built_.get<QWidget>(*tabOrder.front()).setFocus();

    connect(command1_, &QAbstractButton::clicked, this, [this] { command1Click(); });
    connect(timer1_, &QTimer::timeout, this, [this] { timer1Timer(); });
    connect(frame_, &QTimer::timeout, this, [this] {
        moves_.showAll();
        for (Image *picture : awardpic_)
            picture->showIfDecoded();
    });
}

Form1::~Form1() = default;

void Form1::buildCards()
{
    // From card 3 up, as the cards were created.
    for (int i = kCards - 1; i >= 0; --i) {
        leftTwips_[i] = reel::design::kCardLeftsTwips[i];
        widthTwips_[i] = reel::design::kCardWidthTwips;
        const CardFace face(built_, i);
        awardbox_[i] = face.awardbox;
        awardpic_[i] = face.awardpic;
        awardname_[i] = face.awardname;
        x_[i] = face.x;
        award_[i] = face.award;
        colorbox_[i] = face.colorbox;
        cards_[i].emplace(*face.awardbox, *face.awardpic, *face.awardname, *face.award, *face.colorbox, leftTwips_[i],
                          moves_);
    }
}

const Line &Form1::line(int number) const
{
    if (number < 1 || number > int(lines_.size()))
        throw catalogue::RuntimeError(catalogue::ErrorCode::SubscriptOutOfRange);
    return *lines_[std::size_t(number - 1)];
}

std::size_t Form1::checked(int i)
{
    if (i < 0 || i >= kCards)
        throw catalogue::RuntimeError(catalogue::ErrorCode::SubscriptOutOfRange);
    return std::size_t(i);
}

void Form1::setLeft(int i, float twips)
{
    const std::size_t card = checked(i);
    leftTwips_[card] = twips;
    cards_[card]->place(twips);
}

void Form1::setTimerEnabled(bool on)
{
    if (on == timer1_->isActive())
        return; // starting an active timer would restart its interval
    if (!on) {
        stopTimer();
        return;
    }
    timer1_->start();
    moves_.setHeld(true);
    frame_->start();
    setDecodingForSpin(true);
}

void Form1::stopTimer()
{
    timer1_->stop();
    frame_->stop();
    moves_.setHeld(false); // the cards are shown where they stopped
    setDecodingForSpin(false);
}

void Form1::setDecodingForSpin(bool spinning)
{
    decoding_.setSpinning(spinning);
    setCardsWaitForPictures(!spinning);
}

void Form1::setCardsWaitForPictures(bool wait)
{
    if (decoding_.threadCount() == 0)
        return; // nobody else decodes: a card decodes what it shows
    for (Image *picture : awardpic_)
        picture->setWaitsForPicture(wait);
}

void Form1::startFirstFrame()
{
    firstFrame_ = FirstFrame::Painting;
    setCardsWaitForPictures(false);
    // Qt puts the frame on screen before it handles the next posted event.
    QTimer::singleShot(0, this, [this] { endFirstFrame(); });
}

void Form1::endFirstFrame()
{
    if (firstFrame_ != FirstFrame::Painting)
        return;
    firstFrame_ = FirstFrame::Done;
    setDecodingForSpin(timer1_->isActive()); // a spin may have started at the first frame
}

void Form1::decodeCardPicturesFirst()
{
    for (const Image *shown : awardpic_)
        if (auto picture = std::dynamic_pointer_cast<const QtPicture>(shown->picture()); picture && !picture->decoded())
            decoding_.decodeNext(std::move(picture));
}

void Form1::setButtonEnabled(bool on) { command1_->setEnabled(on); }

void Form1::applyDpi(double dpi, QPoint origin)
{
    dpi_ = dpi;
    surface_.setClientRect(pixelRect(design::form().rect, dpi).translated(origin));
    built_.layOut(dpi, origin);
    moves_.setDpi(dpi);
    // On a whole screen nothing may show past the designed client area, as
    // the window's own edge cuts it off in the window: the viewing area
    // reaches 810 twips beyond it.
    const QRect client = surface_.clientRect();
    for (QWidget *child :
         {static_cast<QWidget *>(picture1_), static_cast<QWidget *>(picture2_), static_cast<QWidget *>(command1_)}) {
        if (game_.fullScreen())
            child->setMask((child->geometry() & client).translated(-child->pos()));
        else
            child->clearMask();
    }
    update();
}

void Form1::placeOnScreen()
{
    if (windowDpi_ == design::kDesignDpi)
        return; // the designed window goes wherever the desktop puts a new one
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Room for the frame that the desktop adds around the client area.
    constexpr int kFrameAllowance = 64;
    const QRect room = screen->availableGeometry();
    const design::ScreenFit fit =
        design::fitToScreen(room.width() - kFrameAllowance / 4, room.height() - kFrameAllowance);
    if (fit.dpi < windowDpi_) {
        windowDpi_ = fit.dpi;
        applyDpi(windowDpi_, QPoint(0, 0));
        setFixedSize(pixelRect(design::form().rect, windowDpi_).size());
    }
    QRect place(QPoint(0, 0), size());
    place.moveCenter(room.center());
    move(place.topLeft());
}

void Form1::setFullScreen(bool on)
{
    if (on) {
        windowGeometry_ = geometry();
        QScreen *shownOn = screen();
        if (!shownOn)
            return;
        const QRect whole = shownOn->geometry();
        const design::ScreenFit fit = design::fitToScreen(whole.width(), whole.height());
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        applyDpi(fit.dpi, QPoint(fit.left, fit.top));
        showFullScreen();
        setGeometry(whole); // also where no window manager takes the hint
        pointerIdle_->start();
        return;
    }
    pointerIdle_->stop();
    showPointer();
    showNormal();
    applyDpi(windowDpi_, QPoint(0, 0));
    setFixedSize(pixelRect(design::form().rect, windowDpi_).size());
    if (windowGeometry_.isValid())
        move(windowGeometry_.topLeft());
}

void Form1::showPointer()
{
    if (testAttribute(Qt::WA_SetCursor))
        unsetCursor();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseMove)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    if (type == QEvent::MouseMove) {
        if (game_.fullScreen()) {
            showPointer();
            pointerIdle_->start();
        }
        return false;
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    const GameKey which = gameKey(key->key());
    if (which == GameKey::Other || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (type == QEvent::KeyRelease || key->isAutoRepeat())
        // A key the game takes is the game's on release and repeat too, so
        // that the button never sees half of it and a held key spins no more.
        return game_.fullScreen() || which == GameKey::F11;
    return game_.keyDown(which);
}

void Form1::setVisible(bool visible)
{
    if (visible && !game_.loadRun()) {
        formLoad();
        if (game_.loaded())
            placeOnScreen();
    }
    if (visible && !game_.loaded())
        return; // a failed load leaves the window unseen; the report ends the program
    QWidget::setVisible(visible);
}

void Form1::paintEvent(QPaintEvent *event)
{
    // The cards, child widgets, are painted after this in the same frame.
    if (game_.loaded() && firstFrame_ == FirstFrame::Ahead)
        startFirstFrame();
    else
        endFirstFrame();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    surface_.paint(painter, event->rect());
}

void Form1::formLoad()
{
    // The load only looks each picture file up; its check and pixels, at the
    // size their box has in device pixels, come once, from the decoding
    // threads in list order, the cards' own first, or from a card that has to
    // show them sooner. Until the first frame is on screen the threads leave
    // a core to it, as to a spin.
    decoding_.setSpinning(true);
    const qreal ratio = devicePixelRatioF();
    const QSize box = awardpic_[0]->bounds().size();
    const ImageDecoder decoder(QSize(qRound(box.width() * ratio), qRound(box.height() * ratio)), ratio);
    QtPictureLoader pictures(decoder, &decoding_);
    if (game_.load(dataFolder_, pictures))
        decodeCardPicturesFirst();
    else
        stopTimer();
}

void Form1::command1Click() { game_.click(); }

void Form1::timer1Timer()
{
    game_.tick();
    if (moves_.contentChanged())
        decodeCardPicturesFirst(); // a refilled card shows its picture as soon as it can
    moves_.showAllIfContentChanged();
}

} // namespace window
