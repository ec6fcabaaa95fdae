#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "access/usb_device_port.h"
#include "sim/image_generator.h"
#include "sim/usb_reader_twin.h"
#include "tests/support/temp_dir.h"
#include "tests/support/virtual_wait_clock.h"

namespace zorvek::test {

// A USB reader twin plugged into a fresh sysfs tree, holding a valid
// generated image. The program's side finds it through the real sysfs scan
// and talks to it through the real serial link; its protocol waits run on a
// virtual clock, while responses and their time-outs take real time.
class UsbTwinTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_image = sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid);
    }

    sim::UsbReaderTwin& Plug(std::string tty = "ttyACM0", std::uint16_t revision = 0x0001,
                             std::uint16_t hubRevision = 0x0001) {
        m_twins.push_back(std::make_unique<sim::UsbReaderTwin>(
            m_image, sim::UsbReaderTwin::Options{m_dir / "sys", tty, revision, hubRevision}));
        return *m_twins.back();
    }
    UsbPortFinder Finder() const { return UsbPortFinder({m_dir / "sys", m_dir / "sys" / "dev"}); }

    // Mutates the device of the first twin under its lock.
    template <typename Action>
    auto Device(Action action) {
        return m_twins.front()->WithDevice(action);
    }

    void TearDown() override {
        m_twins.clear();
        TempDirTest::TearDown();
    }

    std::vector<std::uint8_t> m_image;
    VirtualWaitClock m_clock;
    std::vector<std::unique_ptr<sim::UsbReaderTwin>> m_twins;
};

// Every position a transfer reported.
struct ProgressLog : ProgressSink {
    void SetPosition(int percent) override { positions.push_back(percent); }
    std::vector<int> positions;
};

}  // namespace zorvek::test
