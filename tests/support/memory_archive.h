#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "archive/readout_archive.h"

namespace zorvek::test {

// A read-out archive in memory for the window's tests: read-outs are put in
// whole (with the figures the test wants), Add keeps what it was given, and
// every call can be made to fail.
class MemoryArchive final : public archive::ReadoutArchive {
  public:
    std::vector<archive::StoredReadout> readouts;
    std::vector<archive::NewReadout> added;
    // When set, every call fails with it.
    std::optional<archive::ArchiveStatus> failure;
    std::string location = "memory";

    archive::ArchiveResult<archive::Added> Add(const archive::NewReadout& readout) override {
        if (failure) return {*failure, {}};
        added.push_back(readout);
        return {{}, {static_cast<archive::ReadoutId>(1000 + added.size()), false, {}, {}}};
    }
    archive::ArchiveResult<std::vector<archive::ReadoutSummary>> List(
        std::optional<std::string_view> registration) override {
        if (failure) return {*failure, {}};
        std::vector<archive::ReadoutSummary> listed;
        for (const archive::StoredReadout& stored : readouts) {
            if (!registration || stored.summary.crane.registration == *registration) {
                listed.push_back(stored.summary);
            }
        }
        std::stable_sort(listed.begin(), listed.end(),
                         [](const auto& a, const auto& b) { return a.readAt > b.readAt; });
        return {{}, listed};
    }
    archive::ArchiveResult<archive::StoredReadout> Get(archive::ReadoutId id) override {
        if (failure) return {*failure, {}};
        for (const archive::StoredReadout& stored : readouts) {
            if (stored.summary.id == id) return {{}, stored};
        }
        return {{archive::ArchiveError::NotFound, "no read-out"}, {}};
    }
    archive::ArchiveResult<std::vector<archive::FleetLine>> Fleet() override {
        if (failure) return {*failure, {}};
        std::map<std::string, archive::FleetLine> cranes;
        for (const archive::ReadoutSummary& summary : List(std::nullopt).value) {
            archive::FleetLine& line = cranes[KeyOf(summary)];
            if (line.readouts++ == 0) {
                line.last = summary;
                line.last.craneKey = KeyOf(summary);
            }
            line.anyFlags.recorderChanged |= summary.flags.recorderChanged;
            line.anyFlags.countersBack |= summary.flags.countersBack;
        }
        std::vector<archive::FleetLine> fleet;
        for (auto& [registration, line] : cranes) fleet.push_back(line);
        return {{}, fleet};
    }
    archive::ArchiveResult<std::vector<archive::FleetCrane>> FleetDetails() override {
        const auto lines = Fleet();
        if (!lines) return {lines.status, {}};
        std::vector<archive::FleetCrane> cranes;
        for (const archive::FleetLine& line : lines.value) {
            archive::FleetCrane crane{line, Get(line.last.id).value.passport, std::nullopt};
            const auto history = List(line.last.crane.registration).value;
            if (history.size() > 1) crane.previous = history[1];
            cranes.push_back(std::move(crane));
        }
        return {{}, cranes};
    }
    archive::ArchiveResult<archive::ArchiveCheck> Check() override {
        if (failure) return {*failure, {}};
        return {{}, {static_cast<int>(readouts.size()), {}, {}}};
    }
    archive::ArchiveResult<std::vector<archive::ReadoutSummary>> CraneReadouts(
        std::string_view craneKey) override {
        auto listed = List(std::nullopt);
        std::erase_if(listed.value, [&](const archive::ReadoutSummary& summary) {
            return KeyOf(summary) != craneKey;
        });
        return listed;
    }
    archive::ArchiveResult<archive::Removed> Remove(archive::ReadoutId id) override {
        if (failure) return {*failure, {}};
        const auto gone = std::erase_if(readouts, [&](const archive::StoredReadout& stored) {
            return stored.summary.id == id;
        });
        if (gone == 0) return {{archive::ArchiveError::NotFound, "no read-out"}, {}};
        removedIds.push_back(id);
        return {{}, {}};
    }
    archive::ArchiveStatus SetNote(archive::ReadoutId, std::string_view) override {
        return failure.value_or(archive::ArchiveStatus{});
    }
    archive::ArchiveResult<archive::Joined> JoinCranes(std::string_view,
                                                       std::string_view) override {
        return {failure.value_or(archive::ArchiveStatus{}), {}};
    }
    archive::ArchiveResult<std::vector<archive::ArchiveChange>> Changes(
        archive::ReadoutId) override {
        return {failure.value_or(archive::ArchiveStatus{}), {}};
    }
    archive::ArchiveStatus Backup(const std::filesystem::path&) override {
        return failure.value_or(archive::ArchiveStatus{});
    }
    std::string Location() const override { return location; }
    std::vector<archive::ReadoutId> removedIds;

  private:
    // Read-outs a test puts in whole are one crane per registration.
    static std::string KeyOf(const archive::ReadoutSummary& summary) {
        return summary.craneKey.empty() ? summary.crane.registration : summary.craneKey;
    }
};

// What an opener hands the window: the test's own archive, which outlives
// every window that opens it.
class ArchiveOf final : public archive::ReadoutArchive {
  public:
    explicit ArchiveOf(archive::ReadoutArchive& archive) : m_archive(archive) {}
    archive::ArchiveResult<archive::Added> Add(const archive::NewReadout& readout) override {
        return m_archive.Add(readout);
    }
    archive::ArchiveResult<std::vector<archive::ReadoutSummary>> List(
        std::optional<std::string_view> registration) override {
        return m_archive.List(registration);
    }
    archive::ArchiveResult<archive::StoredReadout> Get(archive::ReadoutId id) override {
        return m_archive.Get(id);
    }
    archive::ArchiveResult<std::vector<archive::FleetLine>> Fleet() override {
        return m_archive.Fleet();
    }
    archive::ArchiveResult<std::vector<archive::FleetCrane>> FleetDetails() override {
        return m_archive.FleetDetails();
    }
    archive::ArchiveResult<archive::ArchiveCheck> Check() override { return m_archive.Check(); }
    archive::ArchiveResult<std::vector<archive::ReadoutSummary>> CraneReadouts(
        std::string_view craneKey) override {
        return m_archive.CraneReadouts(craneKey);
    }
    archive::ArchiveResult<archive::Removed> Remove(archive::ReadoutId id) override {
        return m_archive.Remove(id);
    }
    archive::ArchiveStatus SetNote(archive::ReadoutId id, std::string_view note) override {
        return m_archive.SetNote(id, note);
    }
    archive::ArchiveResult<archive::Joined> JoinCranes(std::string_view registration,
                                                       std::string_view other) override {
        return m_archive.JoinCranes(registration, other);
    }
    archive::ArchiveResult<std::vector<archive::ArchiveChange>> Changes(
        archive::ReadoutId id) override {
        return m_archive.Changes(id);
    }
    archive::ArchiveStatus Backup(const std::filesystem::path& file) override {
        return m_archive.Backup(file);
    }
    std::string Location() const override { return m_archive.Location(); }

  private:
    archive::ReadoutArchive& m_archive;
};

}  // namespace zorvek::test
