#pragma once

// The window program driven as a user would: menus, dialogs answered by a
// script, a stand-in recorder attached where the real driver will be. What
// the window suites share.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/memory_source.h"
#include "app/program.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/virtual_wait_clock.h"

class QAction;

namespace zorvek::test {

std::vector<std::uint8_t> SampleImage();
// What the documents made from it name it by.
const std::string& SampleFingerprint();
std::vector<std::uint8_t> ReadBytes(const QString& path);
void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes);
inline QString Path(const QTemporaryDir& dir, const char* name) { return dir.filePath(name); }

// The recorder as its driver presents it: bank 3 is the stored image.
class StandInRecorder final : public MemorySource {
  public:
    std::vector<std::uint8_t> image = SampleImage();
    bool answers = true;
    // A read asked to stop on this clock ends as cancelled, after
    // `duringRead` as a driver would at its next frame.
    const WaitClock* waits = nullptr;
    // Runs inside every read, on the command's worker.
    std::function<void()> duringRead;

    TransferResult Open() override;
    bool Close() override { return true; }
    TransferResult Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                        ProgressSink* progress) override;
    TransferResult Write(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count,
                         ProgressSink*) override;
};

// The scripted dialogs as the program meets them, with a desktop that may
// know no application for the documents.
class FixtureDialogs final : public ui::Dialogs {
  public:
    explicit FixtureDialogs(ScriptedDialogs& script) : m_script(script) {}
    bool desktopOpens = true;

    void Message(QWidget* parent, const QString& text) override { m_script.Message(parent, text); }
    void Error(QWidget* parent, const QString& text) override { m_script.Error(parent, text); }
    Answer Ask(QWidget* parent, const QString& text) override { return m_script.Ask(parent, text); }
    std::optional<QString> OpenFileName(QWidget* parent, const QString& folder,
                                        const QString& filter) override {
        return m_script.OpenFileName(parent, folder, filter);
    }
    std::optional<QString> SaveFileName(QWidget* parent, const QString& filter,
                                        const QString& suffix) override {
        return m_script.SaveFileName(parent, filter, suffix);
    }
    bool OpenWithDesktop(const QString& file) override {
        return m_script.OpenWithDesktop(file) && desktopOpens;
    }
    std::optional<QString> AskText(QWidget* parent, const QString& label,
                                   const QString& text) override {
        return m_script.AskText(parent, label, text);
    }

  private:
    ScriptedDialogs& m_script;
};

// The program in a folder of its own, with the stand-in recorder attached
// and the USB watcher looking into a tree of the test's own, its settings in
// that folder too. Suites call Finish() from their cleanup slot.
class WindowFixture : public QObject {
  protected:
    void Start(std::vector<std::string> arguments = {});
    // The program closed and started anew in the same folder.
    void Restart();
    void Finish();
    TInfo_Form& Window() { return m_program->Info_Form(); }
    std::filesystem::path UsbRoot() const;
    QAction* Item(const char* name) { return Window().Item(name); }
    bool MenuShown(const char* name);
    // Triggers a menu item and waits until the command it started has
    // ended on its worker, its outcome shown.
    void Run(const char* item);
    void WaitForCommand();
    QStringList Documents() const;
    void LoadSample();
    void LoadFromRecorder();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScopedEnvironment> m_sysfs;
    std::unique_ptr<ScopedEnvironment> m_devices;
    ScriptedDialogs m_dialogs;
    FixtureDialogs m_desktop{m_dialogs};
    VirtualWaitClock m_waits;
    StandInRecorder m_recorder;
    std::unique_ptr<Program> m_program;

  private:
    void StartProgram(std::vector<std::string> arguments);
};

}  // namespace zorvek::test
