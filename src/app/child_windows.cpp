#include "app/child_windows.h"

#include "document/config_document.h"
#include "link/serial_port_transport.h"
#include "pages/barcodes/barcode_page.h"
#include "pages/communication/communication_page.h"
#include "pages/interface/interface_page.h"
#include "pages/misc/misc_page.h"
#include "pages/pending_page.h"
#include "schema/page_catalog.h"
#include "tools/command_console.h"
#include "tools/compare_window.h"
#include "tools/find_decoder_window.h"
#include "tools/firmware_update_window.h"
#include "records/open_records.h"
#include "tools/records_window.h"
#include "tools/station_window.h"
#include "tools/stored_data_window.h"
#include "tools/test_window.h"
#include "tools/transmit_window.h"

namespace q51 {

ChildWindowSwitcher::Factory MakeChildWindowFactory(Configuration &config, ConfigDocument &document,
                                                    UserDialogs &dialogs, PortIo &portIo)
{
    return [&config, &document, &dialogs, &portIo](int page) -> QWidget * {
        switch (page) {
        case Page::Interface: return new InterfacePage(document);
        case Page::Communication: return new CommunicationPage(document);
        case Page::BarCodes: return new BarCodePage(document, dialogs);
        case Page::Miscellaneous: return new MiscPage(document, dialogs);
        case Page::Transmit: {
            auto *window = new TransmitWindow(config, dialogs, portIo,
                                              [] { return std::make_unique<SerialPortTransport>(); });
            // The transfers write the block themselves; the document then
            // announces what they changed, as a step the user can undo.
            QObject::connect(window, &TransmitWindow::transferEnded, &document, [&document](TransferKind kind) {
                document.catchUp(kind == TransferKind::Upload ? QStringLiteral("Upload To PC")
                                                              : QStringLiteral("Download to Decoder"));
            });
            return window;
        }
        default: break;
        }
        const ChildWindowInfo *info = FindChildWindow(page);
        return info ? new PendingPage(*info) : nullptr;
    };
}

ToolWindowFactories MakeToolWindowFactories(Configuration &config, UserDialogs &dialogs, PortIo &portIo,
                                            ConfigDocument *document)
{
    ToolWindowFactories tools;
    tools.commandConsole = [&config, &dialogs, &portIo](QWidget *parent) -> QDialog * {
        return new CommandConsole(config, dialogs, portIo, [] { return std::make_unique<SerialPortTransport>(); },
                                  parent);
    };
    tools.firmwareUpdate = [&config, &dialogs]() -> QWidget * {
        return new FirmwareUpdateWindow(config, dialogs, [] { return std::make_unique<SerialPortTransport>(); });
    };
    tools.keyboardTest = [&config, &dialogs](QWidget *parent) -> QDialog * {
        return new TestWindow(config, dialogs, [] { return std::make_unique<SerialPortTransport>(); }, parent);
    };
    tools.storedData = [&config, &dialogs]() -> QWidget * {
        return new StoredDataWindow(config, dialogs, [] { return std::make_unique<SerialPortTransport>(); });
    };
    tools.findDecoder = [&config, &dialogs](QWidget *parent) -> QDialog * {
        return new FindDecoderWindow(config, dialogs, [] { return std::make_unique<SerialPortTransport>(); }, parent);
    };
    tools.station = [&dialogs](QWidget *parent) -> QWidget * {
        StationServices services;
        services.openRecords = [](const QString &records, QString *problem) -> RecordKeeper {
            std::shared_ptr<RecordStore> store = OpenRecordStore(records, problem);
            if (!store)
                return {};
            return [store](const StationRecord &record) { return store->keep(record); };
        };
        services.showRecords = [](QWidget *window, const QString &records) {
            auto *view = new RecordsWindow(records, window);
            view->setAttribute(Qt::WA_DeleteOnClose);
            view->show();
        };
        return new StationWindow(dialogs, std::move(services), parent);
    };
    if (document) {
        tools.compare = [document, &dialogs](QWidget *parent) -> QDialog * {
            return new CompareWindow(*document, dialogs, [] { return std::make_unique<SerialPortTransport>(); }, {},
                                     parent);
        };
    }
    return tools;
}

} // namespace q51
