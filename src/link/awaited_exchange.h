#pragma once
// An exchange awaited by a coroutine (task.h): the task goes on once the
// exchange has ended. Destroying the task while it waits ends the exchange
// silently, as destroying the exchange does.

#include <functional>

#include "link/exchange.h"
#include "link/task.h"

namespace q51 {

// onProgress sees the count of reply bytes gathered so far.
Task<ExchangeResult> Exchanged(Transport &port, Exchange::Request request,
                               std::function<void(qsizetype)> onProgress = {});

} // namespace q51
