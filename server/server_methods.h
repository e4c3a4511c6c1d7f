#pragma once

#include "rpc_server.h"

#include <memory>

namespace tarvik::server {

class Database;

// The handlers of the methods this server serves. Without a database only the methods that need none.
std::shared_ptr<Dispatcher> makeDispatcher(std::shared_ptr<Database> database = nullptr);

void addIdentityAndCatalogue(Dispatcher &dispatcher, const std::shared_ptr<Database> &database);

} // namespace tarvik::server
