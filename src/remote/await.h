#pragma once

// Background work: X runs on a pool thread; when it has ended, Y runs on the main thread. An error
// raised by X is kept and shown through the application's error display after Y has run.
//
//   Baslat([=] { hata = Yukle(); })->Await([=] { Goster(hata); });
//
// X and Y share their captured state; it lives until Y has run. Several runs may overlap.

#include <QString>

#include <exception>
#include <functional>
#include <memory>

class IAwait
{
public:
    virtual ~IAwait() = default;
    // Starts X and returns at once.
    virtual void Await(std::function<void()> continuation) = 0;
};

class TAwait final : public IAwait, public std::enable_shared_from_this<TAwait>
{
public:
    explicit TAwait(std::function<void()> work) : FAsync(std::move(work)) {}
    void Await(std::function<void()> continuation) override;

private:
    const std::function<void()> FAsync;
};

// Wraps X; nothing runs until Await.
std::shared_ptr<IAwait> Baslat(std::function<void()> work);

namespace tarvik {
// The text shown for an error caught from background work or a continuation.
QString errorText(std::exception_ptr error);
} // namespace tarvik
