#include "cli/image_source.h"

#include "cli/terminal.h"
#include "flows/load_flow.h"
#include "model/memory_map.h"

namespace zorvek::cli {

namespace {

std::unique_ptr<Session> Load(const std::filesystem::path& file, LoadOutcome& outcome) {
    auto session = std::make_unique<Session>();
    session->choice.craneKind = 0;
    session->choice.startupArgument = file;
    outcome = LoadFromFile(*session);
    return outcome.Loaded() ? std::move(session) : nullptr;
}

}  // namespace

std::unique_ptr<Session> OpenImageQuietly(const std::filesystem::path& file) {
    LoadOutcome outcome;
    return Load(file, outcome);
}

std::unique_ptr<Session> OpenImage(const std::filesystem::path& file, int& exitCode) {
    LoadOutcome outcome;
    if (auto session = Load(file, outcome)) {
        exitCode = 0;
        return session;
    }
    exitCode = outcome.status == LoadOutcome::Status::FormatMismatch ? 3 : 2;
    PrintLoadFailure(outcome);
    return nullptr;
}

void PrintLoadFailure(const LoadOutcome& outcome) {
    if (outcome.status == LoadOutcome::Status::FileNotOpened) {
        PrintErrorUtf8(FileNotOpenedMessage(outcome));
    } else {
        PrintError(LoadFailureMessage(outcome));
    }
}

}  // namespace zorvek::cli
