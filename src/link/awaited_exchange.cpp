#include "link/awaited_exchange.h"

namespace q51 {

Task<ExchangeResult> Exchanged(Transport &port, Exchange::Request request, std::function<void(qsizetype)> onProgress)
{
    Exchange exchange(port, std::move(request));
    if (onProgress)
        QObject::connect(&exchange, &Exchange::progressed, onProgress);
    co_return co_await WhenGiven<ExchangeResult>([&exchange](auto give) {
        QObject::connect(&exchange, &Exchange::finished, give);
        exchange.start();
    });
}

} // namespace q51
