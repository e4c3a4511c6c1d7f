#include "messages.h"

#include <cstdio>

namespace tarvik {

namespace {

MessagePresenter &presenter()
{
    static MessagePresenter p;
    return p;
}

int headlessAnswer(const MessageRequest &r)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(mesajBasligi(r.kind)), qPrintable(r.text));
    if (r.buttons.testFlag(MesajDugmesi::Tamam))
        return mrOk;
    if (r.buttons.testFlag(MesajDugmesi::Evet))
        return mrYes;
    if (r.buttons.testFlag(MesajDugmesi::Tekrar))
        return mrRetry;
    return mrNone;
}

} // namespace

MessagePresenter setMessagePresenter(MessagePresenter p)
{
    std::swap(presenter(), p);
    return p;
}

QString mesajBasligi(MesajTuru kind)
{
    switch (kind) {
    case MesajTuru::Uyari: return QStringLiteral("Uyarı");
    case MesajTuru::Hata: return QStringLiteral("Hata");
    case MesajTuru::Bilgi: return QStringLiteral("Bilgi");
    case MesajTuru::Soru: return QStringLiteral("Soru");
    }
    return {};
}

void showApplicationError(const QString &message)
{
    MesajGoster(message, MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
}

} // namespace tarvik

int MesajGoster(const QString &text, MesajTuru kind, MesajDugmeleri buttons, MesajDugmesi defaultButton, int)
{
    const tarvik::MessageRequest request{text, kind, buttons, defaultButton};
    if (const auto &p = tarvik::presenter())
        return p(request);
    return tarvik::headlessAnswer(request);
}
