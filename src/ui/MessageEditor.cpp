#include "MessageEditor.h"

#include "DesignedControls.h"
#include "store/CharCodes.h"
#include "store/MessageText.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <initializer_list>
#include <limits>

namespace torsa {
namespace {

constexpr int kUnitMaximum = 31;
constexpr int kNumberBarDesignMaximum = 189;
constexpr int kPriorityBarDesignMaximum = 180;
constexpr int kBlinkBoxFirstLeft = 2580;    // twips, Coche2
constexpr int kBlinkBoxPitch = 120;         // twips, one character of the fixed font
constexpr int kShownMessageCharacters = 40; // what a refusal leaves in the text box

QScrollBar *horizontalBar(QWidget *parent, int maximum)
{
    auto *bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(0, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    return bar;
}

// Every character of the text box exactly one box wide, whatever the font's own advance.
QFont monospacedToPitch(QFont font, int pitch)
{
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('M'));
    font.setLetterSpacing(QFont::AbsoluteSpacing, pitch - advance);
    return font;
}

} // namespace

MessageEditor::MessageEditor(Session &session, UserPrompts &prompts, QWidget *parent)
    : QGroupBox(QStringLiteral("Edition message"), parent)
    , session_(session)
    , prompts_(prompts)
{
    using design::place;
    setObjectName(QStringLiteral("Cadre1"));
    setGeometry(twips::rect(120, 120, 7575, 1935));

    numberLabel_ = place(new QLabel(QStringLiteral(" Message n°000"), this), u"Etiquette1", 120, 360, 2295, 375);
    numberLabel_->setFont(twips::fixedFont(12, true));
    numberBar_ = place(horizontalBar(this, kNumberBarDesignMaximum), u"DéfilementH1", 120, 840, 2295, 255);
    unitLabel_ = place(new QLabel(QStringLiteral("Unité 0"), this), u"Etiquette2", 120, 1200, 1095, 255);
    priorityLabel_ = place(new QLabel(QStringLiteral("Priorité 0"), this), u"Etiquette7", 1200, 1200, 1215, 255);
    for (QLabel *label : {unitLabel_, priorityLabel_})
        label->setFont(twips::captionFont(8.25, true));
    unitBar_ = place(horizontalBar(this, kUnitMaximum), u"DéfilementH2", 120, 1440, 1095, 255);
    priorityBar_ = place(horizontalBar(this, kPriorityBarDesignMaximum), u"DéfilementH3", 1200, 1440, 1215, 255);

    text_ = place(new QLineEdit(this), u"Texte1", 2550, 360, 4935, 375);
    text_->setFont(monospacedToPitch(twips::fixedFont(9.75, true), twips::toPixels(kBlinkBoxPitch)));
    text_->setMaxLength(std::numeric_limits<int>::max());
    // A thin border and no padding put the first character over Coche2.
    text_->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #808080; padding: 0px; background: white; }"));
    place(new QLabel(QStringLiteral("( Cocher les cases des caractères clignotants si nécessaire )"), this), u"Label1",
          2760, 840, 4455, 255);

    // Coche2 to Coche41 overlap the lower edge of the text box, one under each character.
    for (std::size_t i = 0; i < blinkBoxes_.size(); ++i) {
        auto *box = new QCheckBox(QStringLiteral("Check1"), this);
        box->setObjectName(QStringLiteral("Coche%1").arg(i + 2));
        box->setGeometry(twips::rect(kBlinkBoxFirstLeft + kBlinkBoxPitch * static_cast<int>(i), 660, 135, 195));
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 0px; }"
                                          "QCheckBox::indicator { width: 7px; height: 7px; }"));
        blinkBoxes_[i] = box;
    }

    eraseButton_ = place(new QPushButton(QStringLiteral("Effacer"), this), u"Commande7", 2880, 1200, 975, 495);
    insertButton_ = place(new QPushButton(QStringLiteral("Insérer"), this), u"Commande1", 3960, 1200, 975, 495);
    centerButton_ = place(new QPushButton(QStringLiteral("Centrer"), this), u"Commande2", 5040, 1200, 975, 495);
    validateButton_ = place(new QPushButton(QStringLiteral("Valider"), this), u"Commande6", 6240, 1200, 1095, 495);
    for (QPushButton *button : {eraseButton_, insertButton_, centerButton_})
        button->setFont(twips::captionFont(9.75, true));
    validateButton_->setFont(twips::captionFont(12, true));

    // Keyboard order of the design: the bars, the text, the boxes, the buttons.
    QWidget *previous = numberBar_;
    setFocusProxy(numberBar_);
    const auto chain = [&previous](QWidget *next) {
        setTabOrder(previous, next);
        previous = next;
    };
    for (QWidget *w : std::initializer_list<QWidget *>{unitBar_, priorityBar_, text_})
        chain(w);
    for (QCheckBox *box : blinkBoxes_)
        chain(box);
    for (QWidget *w : std::initializer_list<QWidget *>{eraseButton_, insertButton_, centerButton_, validateButton_})
        chain(w);

    // The user's moves only: the session answers with the message to show.
    connect(numberBar_, &QScrollBar::valueChanged, &session_, &Session::setCurrentMessage);
    connect(unitBar_, &QScrollBar::valueChanged, this,
            [this](int unit) { unitLabel_->setText(QStringLiteral("Unité %1").arg(unit)); });
    connect(priorityBar_, &QScrollBar::valueChanged, this,
            [this](int priority) { priorityLabel_->setText(QStringLiteral("Priorité %1").arg(priority)); });
    connect(validateButton_, &QPushButton::clicked, this, &MessageEditor::validate);
    connect(centerButton_, &QPushButton::clicked, this, &MessageEditor::center);
    connect(insertButton_, &QPushButton::clicked, this, &MessageEditor::insertEmptyMessage);
    connect(eraseButton_, &QPushButton::clicked, this, &MessageEditor::eraseMessage);
}

void MessageEditor::setEditingEnabled(bool enabled)
{
    for (QWidget *w :
         std::initializer_list<QWidget *>{text_, numberLabel_, unitLabel_, priorityLabel_, numberBar_, unitBar_,
                                          priorityBar_, insertButton_, centerButton_, validateButton_, eraseButton_})
        w->setEnabled(enabled);
}

void MessageEditor::disableAll()
{
    setEditingEnabled(false);
    for (QScrollBar *bar : {numberBar_, unitBar_, priorityBar_})
        bar->setValue(0);
}

void MessageEditor::clearForNewSession()
{
    unitBar_->setValue(0);
}

void MessageEditor::showMode(SessionMode mode)
{
    const int last = mode::lastMessage(mode);
    {
        // A number above the new maximum is brought within it by the session.
        const QSignalBlocker quiet(numberBar_);
        numberBar_->setMaximum(last);
        numberBar_->setMinimum(0);
    }
    priorityBar_->setMaximum(last);
    priorityBar_->setMinimum(0);
    setEditingEnabled(true);
}

void MessageEditor::showMessage(int n)
{
    {
        const QSignalBlocker quiet(numberBar_);
        numberBar_->setValue(n);
    }
    const MemoryImage &image = session_.image();
    numberLabel_->setText(QStringLiteral(" Message n°%1").arg(n));
    clearBlinkBoxes();
    unitBar_->setValue(image.unit(n));
    // A priority above the bar's maximum is shown at the maximum; the cell is not changed.
    priorityBar_->setValue(image.priority(n));
    text_->setText(messagetext::decode(image, n));
    showBlinkFlags(blink::decodeFlags(image, n));
}

void MessageEditor::clearBlinkBoxes()
{
    for (QCheckBox *box : blinkBoxes_)
        box->setCheckState(Qt::Unchecked);
}

void MessageEditor::showBlinkFlags(const BlinkFlags &flags)
{
    for (std::size_t k = 1; k <= blinkBoxes_.size(); ++k) {
        if (flags[k])
            blinkBoxes_[k - 1]->setCheckState(Qt::Checked);
    }
}

QString MessageEditor::editorText() const
{
    return text_->text();
}

void MessageEditor::setEditorText(const QString &text)
{
    text_->setText(text);
}

BlinkBoxes MessageEditor::blinkBoxes() const
{
    BlinkBoxes boxes{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = blinkBoxes_[i]->checkState() == Qt::Checked;
    return boxes;
}

void MessageEditor::validate()
{
    const QString typed = text_->text();
    const Verdict verdict = session_.validate(unitBar_->value(), priorityBar_->value(), typed, blinkBoxes());
    if (verdict.accepted())
        return; // the session shows the next message
    prompts_.tell(validation::refusalText(verdict), PromptIcon::Exclamation);
    if (verdict.refusal != Refusal::PriorityInUse && charcodes::characterCount(typed) > kShownMessageCharacters)
        text_->setText(charcodes::firstCharacters(typed, kShownMessageCharacters));
}

void MessageEditor::insertEmptyMessage()
{
    if (session_.insertEmpty(prompts_))
        text_->clear();
}

void MessageEditor::eraseMessage()
{
    // The session shows the message that moved in.
    session_.erase(prompts_);
}

void MessageEditor::center()
{
    if (const auto centered = session_.center(text_->text(), prompts_))
        text_->setText(*centered);
}

void MessageEditor::undoCentering()
{
    text_->setText(session_.textBeforeCentering());
}

QWidget *MessageEditor::lastInFocusChain() const
{
    return validateButton_;
}

} // namespace torsa
