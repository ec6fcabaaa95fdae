#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/cp1251.h"
#include "model/sinks.h"
#include "reports/common/document_sink.h"
#include "reports/common/utf8_path.h"
#include "reports/word/rtf_word_layer.h"
#include "tests/reports/word/rtf_reader.h"
#include "tests/support/temp_dir.h"

namespace zorvek::test {

inline std::string C(std::string_view utf8) { return Cp1251FromUtf8(utf8); }

class RecordingNotifier final : public Notifier {
  public:
    void Notify(std::string_view text) override { messages.push_back(Utf8FromCp1251(text)); }
    std::vector<std::string> messages;
};

// Hands out `target` and remembers what it was asked and told.
class RecordingSink final : public DocumentSink {
  public:
    std::filesystem::path PathFor(std::string_view title, std::string_view extension) override {
        titles.emplace_back(title);
        extensions.emplace_back(extension);
        return target;
    }
    void Finished(const std::filesystem::path& path, const TransferResult& written) override {
        finished.emplace_back(path, written.Succeeded());
        results.push_back(written);
    }

    std::filesystem::path target;
    std::vector<std::string> titles;
    std::vector<std::string> extensions;
    std::vector<std::pair<std::filesystem::path, bool>> finished;
    std::vector<TransferResult> results;
};

// A PNG signature and header chunk of the given size, as much as the layer reads.
std::vector<std::uint8_t> PngHeader(std::uint32_t width, std::uint32_t height);

// A whole small PNG (a grey picture) that office suites can show.
std::vector<std::uint8_t> SmallPng(std::uint32_t width, std::uint32_t height);

// A layer over a fresh template folder, with its notifier and sink.
class WordLayerTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        Fresh();
    }

    // A new layer, notifier and sink over the same folder, for a table's next case.
    void Fresh() {
        m_notifier.messages.clear();
        m_sink = RecordingSink{};
        m_sink.target = m_dir / "shown.rtf";
        m_layer = std::make_unique<RtfWordLayer>(m_dir, m_notifier, m_sink);
    }

    // Writes a template under a UTF-8 name: a cp1251 RTF head and `body`.
    void WriteTemplate(std::string_view name, std::string_view body) {
        std::ofstream out(m_dir / PathOfUtf8(name), std::ios::binary);
        out << "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New "
               "Roman;}}\n"
            << body << "}";
    }

    // What a reader finds in the document the layer would write now.
    ReadDocument Current() const { return ReadRtf(m_layer->Rtf()); }

    RtfWordLayer& Layer() { return *m_layer; }

    RecordingNotifier m_notifier;
    RecordingSink m_sink;
    std::unique_ptr<RtfWordLayer> m_layer;
};

}  // namespace zorvek::test
