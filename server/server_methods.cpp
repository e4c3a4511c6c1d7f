#include "server_methods.h"

#include <algorithm>

namespace tarvik::server {

std::shared_ptr<Dispatcher> makeDispatcher(std::shared_ptr<Database> database)
{
    auto d = std::make_shared<Dispatcher>();
    d->add(MethodId::EchoString, [](ServerCall &c) { c.setResult(c.string("Value")); });
    d->add(MethodId::ReverseString, [](ServerCall &c) {
        // Reverse by code point, so that a character outside the BMP stays whole.
        const QString in = c.string("Value");
        QList<uint> ucs4 = in.toUcs4();
        std::reverse(ucs4.begin(), ucs4.end());
        c.setResult(QString::fromUcs4(reinterpret_cast<const char32_t *>(ucs4.constData()), ucs4.size()));
    });
    if (database) {
        addIdentityAndCatalogue(*d, database);
        addBasket(*d, database);
        addOrders(*d, database);
        addAccounts(*d, database);
        addPublishing(*d, database);
    }
    return d;
}

} // namespace tarvik::server
