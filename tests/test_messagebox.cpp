// The message box on screen: titles, icons and captions by kind and buttons; focus, Enter, Escape
// and Tab answered on a real modal run; the presenter behind MesajGoster.

#include "messagebox.h"
#include "messages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include <ostream>

using tarvik::MessageRequest;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

// Calls `act` with the box once it is the active modal window and holds the focus, without ever
// waiting on a clock: each look that finds it not ready yet queues the next one behind the events.
void whenActive(std::function<QMessageBox *()> box, std::function<void(QMessageBox *)> act)
{
    auto tries = std::make_shared<int>(0);
    auto step = std::make_shared<std::function<void()>>();
    *step = [box, act, tries, step] {
        QMessageBox *b = box();
        QWidget *focus = QApplication::focusWidget();
        const bool ready = b && QApplication::activeModalWidget() == b && focus && focus->window() == b;
        if (!ready && ++*tries < 10000) {
            QTimer::singleShot(0, qApp, *step);
            return;
        }
        *step = nullptr; // breaks the cycle
        if (b)
            act(b);
    };
    QTimer::singleShot(0, qApp, *step);
}

QString focusName(QMessageBox *box)
{
    QWidget *f = QApplication::focusWidget();
    if (!f || f->window() != box)
        f = box->focusWidget();
    return f ? f->accessibleName() : QString();
}

// Sends keys to the focused widget as a user would type them; the focus before each key and after
// the last one is recorded. A box the keys did not close is closed, so nothing blocks.
struct KeyRun
{
    QStringList focus;
    bool closedByKeys = true;
};

void pressKeys(QMessageBox *box, const QList<int> &keys, KeyRun *run)
{
    for (int key : keys) {
        if (!box->isVisible())
            break;
        run->focus.append(focusName(box));
        QWidget *target = QApplication::focusWidget();
        if (!target || target->window() != box)
            target = box;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
    if (box->isVisible()) {
        run->focus.append(focusName(box));
        run->closedByKeys = false;
        box->done(QDialog::Rejected);
    }
}

MessageRequest request(MesajTuru kind, MesajDugmeleri buttons, MesajDugmesi defaultButton,
                       const QString &text = QStringLiteral("Devam edilsin mi ?"))
{
    return MessageRequest{text, kind, buttons, defaultButton};
}

QStringList captions(QMessageBox &box)
{
    QStringList list;
    for (QAbstractButton *b : box.buttons()) {
        EXPECT_EQ(b->accessibleName(), b->text());
        list.append(b->text());
    }
    return list;
}

} // namespace

TEST(MessageBox, KindsTitlesIconsCaptions)
{
    struct Case
    {
        MessageRequest request;
        QString title;
        QMessageBox::Icon icon;
        QStringList captions;
    };
    const MesajDugmeleri all = MesajDugmesi::Evet | MesajDugmesi::Hayir | MesajDugmesi::Tamam | MesajDugmesi::Vazgec
        | MesajDugmesi::Iptal | MesajDugmesi::Tekrar | MesajDugmesi::Atla | MesajDugmesi::TumuneEvet
        | MesajDugmesi::TumuneHayir | MesajDugmesi::Yardim;
    const Case cases[] = {
        {request(MesajTuru::Uyari, MesajDugmesi::Tamam, MesajDugmesi::Tamam), QStringLiteral("Uyarı"),
         QMessageBox::Warning, {QStringLiteral("Tamam")}},
        {request(MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam), QStringLiteral("Hata"),
         QMessageBox::Critical, {QStringLiteral("Tamam")}},
        {request(MesajTuru::Bilgi, MesajDugmesi::Tamam, MesajDugmesi::Tamam), QStringLiteral("Bilgi"),
         QMessageBox::Information, {QStringLiteral("Tamam")}},
        {request(MesajTuru::Soru, MesajDugmesi::Evet | MesajDugmesi::Hayir, MesajDugmesi::Hayir), QStringLiteral("Soru"),
         QMessageBox::Question, {QStringLiteral("Evet"), QStringLiteral("Hayır")}},
        {request(MesajTuru::Soru, all, MesajDugmesi::Evet), QStringLiteral("Soru"), QMessageBox::Question,
         {QStringLiteral("Evet"), QStringLiteral("Hayır"), QStringLiteral("Tamam"), QStringLiteral("Vazgeç"),
          QStringLiteral("İptal"), QStringLiteral("Tekrar"), QStringLiteral("Atla"), QStringLiteral("Tümüne Evet"),
          QStringLiteral("Tümüne Hayır"), QStringLiteral("Yardım")}},
        {request(MesajTuru::Bilgi, {}, MesajDugmesi::Tamam), QStringLiteral("Bilgi"), QMessageBox::Information,
         {QStringLiteral("Tamam")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title.toStdString() + " " + c.captions.join(u',').toStdString());
        const std::unique_ptr<QMessageBox> box = tarvik::buildMessageBox(c.request, nullptr);
        EXPECT_EQ(box->windowTitle(), c.title);
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->text(), c.request.text);
        QStringList shown = captions(*box);
        shown.sort();
        QStringList expected = c.captions;
        expected.sort();
        EXPECT_EQ(shown, expected);
    }
}

TEST(MessageBox, TextIsPlainWithLineBreaks)
{
    const auto box = tarvik::buildMessageBox(
        request(MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam, QStringLiteral("Stok <b>yok</b>\r\nTekrar deneyin")),
        nullptr);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), QStringLiteral("Stok <b>yok</b>\nTekrar deneyin"));
}

// Left to right the buttons stand in the program's fixed order, on every platform layout.
TEST(MessageBox, ButtonsStandInTheProgramsOrder)
{
    const auto box = tarvik::buildMessageBox(
        request(MesajTuru::Soru,
                MesajDugmesi::Yardim | MesajDugmesi::Vazgec | MesajDugmesi::Hayir | MesajDugmesi::Evet | MesajDugmesi::Atla,
                MesajDugmesi::Vazgec),
        nullptr);
    box->show();
    QList<QAbstractButton *> buttons = box->buttons();
    std::sort(buttons.begin(), buttons.end(),
              [](QAbstractButton *a, QAbstractButton *b) { return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x(); });
    QStringList order;
    for (QAbstractButton *b : buttons)
        order.append(b->text());
    EXPECT_EQ(order, (QStringList{QStringLiteral("Evet"), QStringLiteral("Hayır"), QStringLiteral("Vazgeç"),
                                  QStringLiteral("Atla"), QStringLiteral("Yardım")}));
    box->hide();
}

TEST(MessageBox, KeysOnAModalRun)
{
    const MesajDugmeleri yesNo = MesajDugmesi::Evet | MesajDugmesi::Hayir;
    const MesajDugmeleri yesNoCancel = yesNo | MesajDugmesi::Vazgec;
    const MesajDugmeleri okCancel = MesajDugmesi::Tamam | MesajDugmesi::Vazgec;
    const MesajDugmeleri abortRetryIgnore = MesajDugmesi::Iptal | MesajDugmesi::Tekrar | MesajDugmesi::Atla;
    const MesajDugmeleri toAll = MesajDugmesi::TumuneEvet | MesajDugmesi::TumuneHayir | MesajDugmesi::Yardim;
    const int enter = Qt::Key_Return, esc = Qt::Key_Escape, tab = Qt::Key_Tab;
    struct Case
    {
        const char *name;
        MesajDugmeleri buttons;
        MesajDugmesi defaultButton;
        QList<int> keys;
        int result;
        QStringList focus; // before each key
    };
    const Case cases[] = {
        {"question, default No: Enter at once is Yes", yesNo, MesajDugmesi::Hayir, {enter}, mrYes, {QStringLiteral("Evet")}},
        {"question, default No: Escape is No", yesNo, MesajDugmesi::Hayir, {esc}, mrNo, {QStringLiteral("Evet")}},
        {"question, default No: Tab moves to No", yesNo, MesajDugmesi::Hayir, {tab, enter}, mrNo,
         {QStringLiteral("Evet"), QStringLiteral("Hayır")}},
        {"question, default Yes", yesNo, MesajDugmesi::Evet, {enter}, mrYes, {QStringLiteral("Evet")}},
        {"default argument not shown is ignored", yesNo, MesajDugmesi::Tamam, {tab, enter}, mrNo,
         {QStringLiteral("Evet"), QStringLiteral("Hayır")}},
        {"default No goes first in the tab order, Yes keeps the focus", yesNoCancel, MesajDugmesi::Hayir, {tab, enter},
         mrCancel, {QStringLiteral("Evet"), QStringLiteral("Vazgeç")}},
        {"Tab order wraps to the moved button", yesNoCancel, MesajDugmesi::Hayir, {tab, tab, enter}, mrNo,
         {QStringLiteral("Evet"), QStringLiteral("Vazgeç"), QStringLiteral("Hayır")}},
        {"Escape prefers Cancel to No", yesNoCancel, MesajDugmesi::Evet, {esc}, mrCancel, {QStringLiteral("Evet")}},
        {"OK keeps the focus over a Cancel default", okCancel, MesajDugmesi::Vazgec, {enter}, mrOk, {QStringLiteral("Tamam")}},
        {"OK and Cancel: Escape is Cancel", okCancel, MesajDugmesi::Tamam, {esc}, mrCancel, {QStringLiteral("Tamam")}},
        {"OK alone: Escape is OK", MesajDugmesi::Tamam, MesajDugmesi::Tamam, {esc}, mrOk, {QStringLiteral("Tamam")}},
        {"no Cancel, No or OK: Escape does nothing, Retry has the focus", abortRetryIgnore, MesajDugmesi::Atla,
         {esc, enter}, mrRetry, {QStringLiteral("Tekrar"), QStringLiteral("Tekrar")}},
        {"abort, retry, ignore: Tab from Retry wraps to the moved Ignore", abortRetryIgnore, MesajDugmesi::Atla,
         {tab, enter}, mrIgnore, {QStringLiteral("Tekrar"), QStringLiteral("Atla")}},
        {"Yes alone: Escape does nothing", MesajDugmesi::Evet, MesajDugmesi::Evet, {esc, enter}, mrYes,
         {QStringLiteral("Evet"), QStringLiteral("Evet")}},
        {"no focus button: the first in the tab order", toAll, MesajDugmesi::TumuneHayir, {enter}, mrNoToAll,
         {QStringLiteral("Tümüne Hayır")}},
        {"to-all buttons and help", toAll, MesajDugmesi::TumuneHayir, {tab, enter}, mrYesToAll,
         {QStringLiteral("Tümüne Hayır"), QStringLiteral("Tümüne Evet")}},
        {"help answers its own result", toAll, MesajDugmesi::TumuneHayir, {tab, tab, enter}, mrHelp,
         {QStringLiteral("Tümüne Hayır"), QStringLiteral("Tümüne Evet"), QStringLiteral("Yardım")}},
        {"abort", abortRetryIgnore, MesajDugmesi::Iptal, {tab, tab, enter}, mrAbort,
         {QStringLiteral("Tekrar"), QStringLiteral("Atla"), QStringLiteral("İptal")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto box = tarvik::buildMessageBox(request(MesajTuru::Soru, c.buttons, c.defaultButton), nullptr);
        KeyRun run;
        QMessageBox *b = box.get();
        whenActive([b] { return b; }, [&](QMessageBox *shown) { pressKeys(shown, c.keys, &run); });
        const int result = tarvik::execMessageBox(*box);
        EXPECT_TRUE(run.closedByKeys) << "focus at the end: " << run.focus.join(u',').toStdString();
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(run.focus, c.focus);
    }
}

TEST(MessageBox, ClosingTheWindowAnswersCancel)
{
    for (MesajDugmeleri buttons : {MesajDugmeleri(MesajDugmesi::Evet | MesajDugmesi::Hayir),
                                   MesajDugmeleri(MesajDugmesi::Iptal | MesajDugmesi::Tekrar | MesajDugmesi::Atla)}) {
        const auto box = tarvik::buildMessageBox(request(MesajTuru::Soru, buttons, MesajDugmesi::Evet), nullptr);
        bool closed = false;
        QMessageBox *b = box.get();
        whenActive([b] { return b; }, [&](QMessageBox *shown) {
            closed = shown->close();
            if (shown->isVisible())
                shown->done(QDialog::Accepted);
        });
        EXPECT_EQ(tarvik::execMessageBox(*box), mrCancel);
        EXPECT_TRUE(closed);
    }
}

// MesajGoster goes through the installed presenter: the real box, owned by and centred on the
// active window.
TEST(MessageBox, PresenterBehindMesajGoster)
{
    QWidget owner;
    owner.setGeometry(60, 60, 640, 420);
    owner.show();
    owner.activateWindow();
    for (int i = 0; i < 10000 && QApplication::activeWindow() != &owner; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &owner);

    QString title, text;
    QWidget *parent = nullptr;
    QPoint centre, ownerCentre;
    bool closedByKeys = true;
    const tarvik::MessagePresenter previous = tarvik::setMessagePresenter({});
    tarvik::installMessageBoxPresenter();
    whenActive([] { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); },
               [&](QMessageBox *shown) {
                   title = shown->windowTitle();
                   text = shown->text();
                   parent = shown->parentWidget();
                   centre = shown->frameGeometry().center();
                   ownerCentre = owner.frameGeometry().center();
                   KeyRun run;
                   pressKeys(shown, {Qt::Key_Escape}, &run);
                   closedByKeys = run.closedByKeys;
               });
    const int result = MesajGoster(QStringLiteral("Programdan Çıkmak İstiyor musunuz ?"), MesajTuru::Soru,
                                   MesajDugmesi::Evet | MesajDugmesi::Hayir, MesajDugmesi::Evet);
    tarvik::setMessagePresenter(previous);

    EXPECT_TRUE(closedByKeys);
    EXPECT_EQ(result, mrNo);
    EXPECT_EQ(title, QStringLiteral("Soru"));
    EXPECT_EQ(text, QStringLiteral("Programdan Çıkmak İstiyor musunuz ?"));
    EXPECT_EQ(parent, &owner);
    EXPECT_LE((centre - ownerCentre).manhattanLength(), 4);
}
