#include "cli/image_source.h"

#include "cli/terminal.h"
#include "flows/failure_text.h"
#include "flows/load_flow.h"
#include "model/cp1251.h"
#include "model/memory_map.h"

namespace zorvek::cli {

std::unique_ptr<Session> OpenImage(const std::filesystem::path& file, int& exitCode) {
    auto session = std::make_unique<Session>();
    session->choice.craneKind = 0;
    session->choice.startupArgument = file;
    const LoadOutcome outcome = LoadFromFile(*session);
    if (outcome.Loaded()) {
        exitCode = 0;
        return session;
    }
    exitCode = 2;
    const TransferResult& why = outcome.transfer;
    switch (outcome.status) {
        case LoadOutcome::Status::FileNotOpened:
            PrintErrorUtf8(FileNotOpenedMessage(outcome));
            break;
        case LoadOutcome::Status::FormatMismatch:
            exitCode = 3;
            PrintError(LoadMessage(outcome));
            break;
        default:
            PrintErrorUtf8("Ошибка чтения данных: " + Utf8FromCp1251(FailureText(why)));
            break;
    }
    return nullptr;
}

}  // namespace zorvek::cli
