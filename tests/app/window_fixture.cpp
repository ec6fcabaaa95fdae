#include "tests/app/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "access/program_location.h"
#include "model/sha256.h"

namespace zorvek::test {

std::vector<std::uint8_t> SampleImage() {
    std::ifstream in(ZORVEK_SAMPLES_DIR "/dannie.krd", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string& SampleFingerprint() {
    static const std::string fingerprint = ImageFingerprint(SampleImage());
    return fingerprint;
}

std::vector<std::uint8_t> ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

TransferResult StandInRecorder::Open() {
    return answers ? TransferResult::Ok() : TransferResult::Fail(TransferError::NoAnswer);
}

TransferResult StandInRecorder::Read(std::uint32_t address, std::uint8_t* buffer,
                                     std::uint32_t count, ProgressSink* progress) {
    const std::uint32_t offset = address & 0xFFFF;
    if (offset + count > image.size()) return TransferResult::Fail(TransferError::OutOfRange);
    std::copy_n(image.begin() + offset, count, buffer);
    if (progress) progress->SetPosition(0);
    if (duringRead) duringRead();
    if (waits && waits->Cancelled()) return TransferResult::Fail(TransferError::Cancelled);
    return TransferResult::Ok();
}

TransferResult StandInRecorder::Write(std::uint32_t address, const std::uint8_t* buffer,
                                      std::uint32_t count, ProgressSink*) {
    std::copy_n(buffer, count, image.begin() + (address & 0xFFFF));
    return TransferResult::Ok();
}

void WindowFixture::Start(std::vector<std::string> arguments) {
    m_dir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(m_dir->path());
    m_dialogs = ScriptedDialogs();
    m_sysfs =
        std::make_unique<ScopedEnvironment>("ZORVEK_SYSFS", m_dir->filePath("sys").toStdString());
    m_devices = std::make_unique<ScopedEnvironment>("ZORVEK_DEVDIR",
                                                    m_dir->filePath("sys/dev").toStdString());
    m_desktop.desktopOpens = true;
    StartProgram(std::move(arguments));
}

void WindowFixture::Restart() {
    m_program.reset();
    StartProgram({});
}

void WindowFixture::StartProgram(std::vector<std::string> arguments) {
    Program::Settings settings;
    settings.arguments = std::move(arguments);
    settings.deviceWaits = &m_waits;
    settings.documents = m_dir->filePath("documents").toStdString();
    settings.data = DataDirectory();
    settings.settingsFile = m_dir->filePath("zorvek.ini");
    m_program = std::make_unique<Program>(m_desktop, std::move(settings));
    Session& session = m_program->GetSession();
    session.choice.defaultFile = m_dir->filePath("dannie.krd").toStdString();
    session.dispatch.AttachRecorder(&m_recorder);
    m_recorder = StandInRecorder();
    m_recorder.waits = &m_program->Waits();
    Window().show();
}

void WindowFixture::Finish() {
    m_program.reset();
    QDir::setCurrent(QDir::tempPath());
    m_devices.reset();
    m_sysfs.reset();
    m_dir.reset();
}

std::filesystem::path WindowFixture::UsbRoot() const {
    return m_dir->filePath("sys").toStdString();
}

bool WindowFixture::MenuShown(const char* name) {
    return Window().Menu(name)->menuAction()->isVisible();
}

QStringList WindowFixture::Documents() const {
    return QDir(m_dir->filePath("documents")).entryList(QDir::Files, QDir::Name);
}

void WindowFixture::Run(const char* item) {
    Item(item)->trigger();
    WaitForCommand();
}

void WindowFixture::WaitForCommand() {
    QTRY_VERIFY_WITH_TIMEOUT(!Window().CommandRunning(), 20000);
}

void WindowFixture::LoadSample() {
    m_dialogs.openNames.push_back(ZORVEK_SAMPLES_DIR "/dannie.krd");
    Run("N3");
    QVERIFY(MenuShown("N6"));
}

void WindowFixture::LoadFromRecorder() {
    Run("N9");
    QVERIFY(m_dialogs.messages.isEmpty());
    QCOMPARE(m_program->GetSession().saveState, Session::SaveState::Unsaved);
}

}  // namespace zorvek::test
