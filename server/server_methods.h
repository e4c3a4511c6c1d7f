#pragma once

#include "rpc_server.h"

#include <memory>

namespace tarvik::server {

// The handlers of the methods this server serves.
std::shared_ptr<Dispatcher> makeDispatcher();

} // namespace tarvik::server
