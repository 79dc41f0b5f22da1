#include "link/portio/port_io.h"

namespace q51 {

namespace {

class WriteThrough final : public PortExchange {
public:
    explicit WriteThrough(PortIo &io) : io_(io) {}
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override
    {
        return io_.SetPortVal(port, value, size);
    }

private:
    PortIo &io_;
};

} // namespace

std::unique_ptr<PortExchange> PortIo::BeginExchange()
{
    return std::make_unique<WriteThrough>(*this);
}

bool InitializePortIo(PortIo &io, int attempts)
{
    for (int i = 0; i < attempts; ++i) {
        if (io.InitializeWinIo())
            return true;
        io.ShutdownWinIo();
    }
    return false;
}

} // namespace q51
