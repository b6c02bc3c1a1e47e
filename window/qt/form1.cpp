// The window built from its design, and its binding to the game.
#include "form1.h"

#include "card_face.h"
#include "designed_controls.h"
#include "qt_picture_loader.h"
#include "runtime_error.h"
#include "startup.h"
#include "twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace window {

Form1::Form1(std::filesystem::path dataFolder, std::unique_ptr<reel::RandomSource> random, ErrorReport report,
             int decodingThreads)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      dataFolder_(std::move(dataFolder)), report_(std::move(report)),
      catalogue_(std::make_unique<catalogue::Catalogue>()),
      random_(random ? std::move(random) : std::make_unique<reel::Mt19937Source>()),
      spin_(*this, *random_, *catalogue_), surface_(*this, pixelRect(design::form().rect)),
      decoding_(decodingThreads)
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

    DesignedControls built;
    built.buildChildren(*this, surface_, form.id);
    for (int number = 1; number <= int(lines_.size()); ++number)
        lines_[std::size_t(number - 1)] = &built.get<Line>("Line" + std::to_string(number));
    picture1_ = &built.get<PictureBox>("Picture1");
    picture2_ = &built.get<PictureBox>("Picture2");
    command1_ = &built.get<CommandButton>("Command1");
    timer1_ = &built.get<QTimer>("Timer1");
    buildCards(built);

    frame_ = new QTimer(this);
    const QScreen *shownOn = screen();
    const qreal hertz = shownOn && shownOn->refreshRate() >= 1 ? shownOn->refreshRate() : 60;
    frame_->setInterval(std::max(1, int(1000 / hertz)));
    frame_->setTimerType(Qt::PreciseTimer);

    const std::vector<const design::Control *> tabOrder = design::tabOrder();
    for (std::size_t k = 1; k < tabOrder.size(); ++k)
        QWidget::setTabOrder(&built.get<QWidget>(tabOrder[k - 1]->id.name, tabOrder[k - 1]->id.index),
                             &built.get<QWidget>(tabOrder[k]->id.name, tabOrder[k]->id.index));
    // The first control in tab order holds the focus when shown.
    built.get<QWidget>(tabOrder.front()->id.name, tabOrder.front()->id.index).setFocus();

    connect(command1_, &QAbstractButton::clicked, this, [this] { command1Click(); });
    connect(timer1_, &QTimer::timeout, this, [this] { timer1Timer(); });
    connect(frame_, &QTimer::timeout, this, [this] {
        moves_.showAll();
        for (Image *picture : awardpic_)
            picture->showIfDecoded();
    });
}

Form1::~Form1() = default;

void Form1::buildCards(const DesignedControls &built)
{
    // From card 3 up, as the cards were created.
    for (int i = kCards - 1; i >= 0; --i) {
        leftTwips_[i] = reel::design::kCardLeftsTwips[i];
        widthTwips_[i] = reel::design::kCardWidthTwips;
        const CardFace face(built, i);
        awardbox_[i] = face.awardbox;
        awardpic_[i] = face.awardpic;
        awardname_[i] = face.awardname;
        x_[i] = face.x;
        award_[i] = face.award;
        colorbox_[i] = face.colorbox;
        cards_[i].emplace(*face.awardbox, *face.awardpic, *face.awardname, *face.award, *face.colorbox,
                          leftTwips_[i], moves_);
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

void Form1::setVisible(bool visible)
{
    if (visible && !loadRun_) {
        loadRun_ = true;
        loaded_ = formLoad();
    }
    if (visible && !loaded_)
        return; // a failed load leaves the window unseen; the report ends the program
    QWidget::setVisible(visible);
}

void Form1::paintEvent(QPaintEvent *event)
{
    // The cards, child widgets, are painted after this in the same frame.
    if (loaded_ && firstFrame_ == FirstFrame::Ahead)
        startFirstFrame();
    else
        endFirstFrame();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    surface_.paint(painter, event->rect());
}

template <typename Step>
bool Form1::guarded(Step &&step)
{
    catalogue::UntrappedError untrapped;
    try {
        step();
        return true;
    } catch (const std::exception &error) {
        untrapped = catalogue::untrappedError(error);
    }
    stopTimer(); // no tick may run while the report is up or after it
    report_(untrapped.number, QString::fromStdString(untrapped.text));
    return false;
}

bool Form1::formLoad()
{
    return guarded([this] {
        // The load only looks each picture file up; its check and pixels,
        // at the size their box has in device pixels, come once, from the
        // decoding threads in list order, the cards' own first, or from a
        // card that has to show them sooner. Until the first frame is on
        // screen the threads leave a core to it, as to a spin.
        decoding_.setSpinning(true);
        const qreal ratio = devicePixelRatioF();
        const QSize box = awardpic_[0]->bounds().size();
        const ImageDecoder decoder(QSize(qRound(box.width() * ratio), qRound(box.height() * ratio)), ratio);
        QtPictureLoader pictures(decoder, &decoding_);
        reel::startUp(dataFolder_, *catalogue_, pictures, *random_, *this);
        decodeCardPicturesFirst();
    });
}

void Form1::command1Click()
{
    guarded([this] { spin_.start(); });
}

void Form1::timer1Timer()
{
    guarded([this] { spin_.tick(); });
    if (moves_.contentChanged())
        decodeCardPicturesFirst(); // a refilled card shows its picture as soon as it can
    moves_.showAllIfContentChanged();
}

} // namespace window
