#include "messagebox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

#include <array>

#ifdef _WIN32
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  include <windows.h>
#endif

namespace tarvik {

namespace {

// Each button carries the modal result it answers.
constexpr char kModalResult[] = "tarvikModalResult";

struct ButtonKind
{
    MesajDugmesi button;
    const char16_t *caption;
    int result;
};

// Creation (and tab) order of the buttons, as the program has always laid them out.
constexpr std::array<ButtonKind, 10> kButtonKinds{{
    {MesajDugmesi::Evet, u"Evet", mrYes},
    {MesajDugmesi::Hayir, u"Hayır", mrNo},
    {MesajDugmesi::Tamam, u"Tamam", mrOk},
    {MesajDugmesi::Vazgec, u"Vazgeç", mrCancel},
    {MesajDugmesi::Iptal, u"İptal", mrAbort},
    {MesajDugmesi::Tekrar, u"Tekrar", mrRetry},
    {MesajDugmesi::Atla, u"Atla", mrIgnore},
    {MesajDugmesi::TumuneEvet, u"Tümüne Evet", mrYesToAll},
    {MesajDugmesi::TumuneHayir, u"Tümüne Hayır", mrNoToAll},
    {MesajDugmesi::Yardim, u"Yardım", mrHelp},
}};

QMessageBox::Icon iconOf(MesajTuru kind)
{
    switch (kind) {
    case MesajTuru::Uyari: return QMessageBox::Warning;
    case MesajTuru::Hata: return QMessageBox::Critical;
    case MesajTuru::Bilgi: return QMessageBox::Information;
    case MesajTuru::Soru: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The texts carry CR LF pairs for their line breaks.
QString displayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// QMessageBox with the program's own keys: Escape presses the escape button only when the box has
// one (QMessageBox would otherwise pick a lone or rejecting button), closing the window answers
// Cancel, and the tab order is ours, not the button box's layout order.
class MessageDialog final : public QMessageBox
{
public:
    explicit MessageDialog(QWidget *owner) : QMessageBox(owner) {}

    void setKeys(QList<QPushButton *> tabOrder, QPushButton *escape)
    {
        tabOrder_ = std::move(tabOrder);
        escape_ = escape;
        if (escape_)
            setEscapeButton(escape_);
        applyTabOrder();
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        // The button box lays its buttons out again (and sets its own tab order) when it is shown.
        applyTabOrder();
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            if (escape_)
                escape_->click();
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent *event) override
    {
        // No button answers a closed window: the result is Cancel whatever the buttons are.
        QDialog::closeEvent(event);
    }

private:
    void applyTabOrder()
    {
        if (tabOrder_.isEmpty())
            return;
        for (qsizetype i = 1; i < tabOrder_.size(); ++i)
            QWidget::setTabOrder(tabOrder_.at(i - 1), tabOrder_.at(i));
        // Tab past the last button comes round to the button box, which hands the focus on to its
        // proxy: that must be the first button of our order, not of its layout.
        if (auto *buttonBox = findChild<QDialogButtonBox *>())
            buttonBox->setFocusProxy(tabOrder_.constFirst());
    }

    QList<QPushButton *> tabOrder_;
    QPointer<QPushButton> escape_;
};

} // namespace

std::unique_ptr<QMessageBox> buildMessageBox(const MessageRequest &request, QWidget *owner)
{
    auto box = std::make_unique<MessageDialog>(owner);
    box->setIcon(iconOf(request.kind));
    const QString title = mesajBasligi(request.kind);
    if (!title.isEmpty())
        box->setWindowTitle(title);
    box->setTextFormat(Qt::PlainText);
    box->setText(displayText(request.text));

    const MesajDugmeleri shown = request.buttons ? request.buttons : MesajDugmeleri(MesajDugmesi::Tamam);
    QList<QPushButton *> tabOrder;
    std::array<QPushButton *, kButtonKinds.size()> buttons{};
    for (size_t i = 0; i < kButtonKinds.size(); ++i) {
        const ButtonKind &kind = kButtonKinds[i];
        if (!shown.testFlag(kind.button))
            continue;
        const QString caption = QString::fromUtf16(kind.caption);
        // One role for all keeps them in this order on every platform's button layout.
        QPushButton *button = box->addButton(caption, QMessageBox::ActionRole);
        button->setAccessibleName(caption);
        button->setProperty(kModalResult, kind.result);
        tabOrder.append(button);
        buttons[i] = button;
    }
    auto buttonOf = [&](MesajDugmesi which) -> QPushButton * {
        for (size_t i = 0; i < kButtonKinds.size(); ++i) {
            if (kButtonKinds[i].button == which)
                return buttons[i];
        }
        return nullptr;
    };

    // The focus, and with it Enter, starts on the box's own default button.
    QPushButton *focus = buttonOf(MesajDugmesi::Tamam);
    if (!focus)
        focus = buttonOf(MesajDugmesi::Evet);
    if (!focus)
        focus = buttonOf(MesajDugmesi::Tekrar);

    QPushButton *escape = buttonOf(MesajDugmesi::Vazgec);
    if (!escape)
        escape = buttonOf(MesajDugmesi::Hayir);
    if (!escape)
        escape = buttonOf(MesajDugmesi::Tamam);

    // The default-button argument only moves its button to the front of the tab order.
    if (QPushButton *argumentButton = buttonOf(request.defaultButton)) {
        tabOrder.removeOne(argumentButton);
        tabOrder.prepend(argumentButton);
    }
    if (!focus)
        focus = tabOrder.constFirst();

    box->setKeys(tabOrder, escape);
    box->setDefaultButton(focus);
    focus->setFocus(Qt::OtherFocusReason);
    return box;
}

int messageBoxResult(const QMessageBox &box)
{
    const QAbstractButton *clicked = box.clickedButton();
    return clicked ? clicked->property(kModalResult).toInt() : mrNone;
}

int execMessageBox(QMessageBox &box)
{
    const QPointer<QMessageBox> alive(&box);
    box.exec();
    if (!alive)
        return mrCancel;
    const int result = messageBoxResult(box);
    return result != mrNone ? result : mrCancel;
}

void playMessageSound(MesajTuru kind)
{
#ifdef _WIN32
    UINT sound = MB_ICONASTERISK;
    switch (kind) {
    case MesajTuru::Uyari: sound = MB_ICONEXCLAMATION; break;
    case MesajTuru::Hata: sound = MB_ICONHAND; break;
    case MesajTuru::Bilgi: sound = MB_ICONASTERISK; break;
    case MesajTuru::Soru: sound = MB_ICONQUESTION; break;
    }
    MessageBeep(sound);
#else
    // One bell for every kind: the desktop has no per-kind system sounds to ask for.
    Q_UNUSED(kind);
    QApplication::beep();
#endif
}

int showMessageBox(const MessageRequest &request)
{
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    std::unique_ptr<QMessageBox> box = buildMessageBox(request, owner);
    const QPointer<QMessageBox> alive(box.get());
    playMessageSound(request.kind);
    const int result = execMessageBox(*box);
    if (!alive)
        (void)box.release(); // the owner went away during the box and took it along
    return result;
}

void installMessageBoxPresenter()
{
    setMessagePresenter(showMessageBox);
}

} // namespace tarvik
