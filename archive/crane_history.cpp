#include "archive/crane_history.h"

#include <map>

#include "archive/image_facts.h"
#include "archive/sql_cells.h"

namespace zorvek::archive {
namespace {

// The newest read-out of each crane (none newer by time, then by id), with
// the crane's count and any flag of its read-outs.
constexpr std::string_view kLines =
    "INSERT INTO cranes (crane_key, registration, readout_count, newest_id, newest_read_at, "
    "any_recorder_changed, any_counters_back) SELECT r.crane_key, r.registration, (SELECT "
    "COUNT(*) FROM readouts c WHERE c.crane_key = r.crane_key), r.id, r.read_at, (SELECT "
    "MAX(c.recorder_changed) FROM readouts c WHERE c.crane_key = r.crane_key), (SELECT "
    "MAX(c.counters_back) FROM readouts c WHERE c.crane_key = r.crane_key) FROM readouts r WHERE "
    "NOT EXISTS (SELECT 1 FROM readouts n WHERE n.crane_key = r.crane_key AND (n.read_at > "
    "r.read_at OR (n.read_at = r.read_at AND n.id > r.id)))";

struct Row {
    ReadoutId id = 0;
    std::string key;
    std::string recorder;
    bool wholeLifeRead = false;
    std::uint64_t cycles = 0;
    double hours = 0;
};

}  // namespace

ArchiveStatus FillCraneKeys(SqlConnection& connection) {
    auto rows = connection.Run(
        "SELECT id, registration, factory_number, recorder_number, image_sha256 FROM readouts");
    if (!rows) return rows.status;
    auto aliases = connection.Run("SELECT alias_key, crane_key FROM crane_aliases");
    if (!aliases) return aliases.status;
    std::map<std::string, std::string> joined;
    for (const SqlRow& row : aliases.value) joined[row[0].value_or("")] = row[1].value_or("");
    for (const SqlRow& row : rows.value) {
        Cells cells(row);
        const std::int64_t id = cells.Integer();
        CraneIdentity crane;
        crane.registration = cells.Text();
        crane.factoryNumber = cells.Text();
        crane.recorderNumber = cells.Text();
        std::string key = CraneKeyOf(crane, cells.Text());
        if (const auto alias = joined.find(key); alias != joined.end()) key = alias->second;
        const SqlParam params[] = {BlobOf(key), id};
        if (auto run = connection.Run("UPDATE readouts SET crane_key = $1 WHERE id = $2", params);
            !run) {
            return run.status;
        }
    }
    return {};
}

ArchiveStatus DateOlderReadouts(SqlConnection& connection) {
    const SqlParam device[] = {std::int64_t{static_cast<int>(ReadTimeSource::DeviceRead)},
                               std::int64_t{static_cast<int>(ReadoutSource::File)}};
    if (auto run = connection.Run(
            "UPDATE readouts SET read_at_source = $1 WHERE read_at_source = 0 AND source <> $2",
            device);
        !run) {
        return run.status;
    }
    const auto now =
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
    constexpr std::int64_t kPage = 64;
    for (std::int64_t after = 0;;) {
        const SqlParam params[] = {after, kPage};
        auto page = connection.Run(
            "SELECT r.id, i.bytes FROM readouts r JOIN images i ON i.sha256 = r.image_sha256 "
            "WHERE r.read_at_source = 0 AND r.id > $1 ORDER BY r.id LIMIT $2",
            params);
        if (!page) return page.status;
        for (const SqlRow& row : page.value) {
            Cells cells(row);
            after = cells.Integer();
            const SqlCell& bytes = cells.Next();
            const auto own =
                bytes ? ReadTimeOfImage(
                            {reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()},
                            now)
                      : std::nullopt;
            const SqlParam update[] = {
                own ? SqlParam(own->at.time_since_epoch().count()) : SqlParam(std::monostate{}),
                std::int64_t{static_cast<int>(own ? own->source : ReadTimeSource::FileTime)},
                after};
            if (auto run = connection.Run(
                    "UPDATE readouts SET read_at = COALESCE($1, read_at), read_at_source = $2 "
                    "WHERE id = $3",
                    update);
                !run) {
                return run.status;
            }
        }
        if (static_cast<std::int64_t>(page.value.size()) < kPage) return {};
    }
}

ArchiveStatus FlagAllAnew(SqlConnection& connection) {
    auto rows = connection.Run(
        "SELECT id, crane_key, recorder_number, whole_life_read, total_cycles, total_hours, "
        "recorder_changed, counters_back, previous_id, recorder_previous_id FROM readouts ORDER "
        "BY read_at, id");
    if (!rows) return rows.status;
    std::map<std::string, Row> lastOfCrane;
    std::map<std::string, Row> lastOfRecorder;
    for (const SqlRow& cellsOfRow : rows.value) {
        Cells cells(cellsOfRow);
        Row row;
        row.id = cells.Integer();
        row.key = cells.Text();
        row.recorder = cells.Text();
        row.wholeLifeRead = cells.Integer() != 0;
        row.cycles = static_cast<std::uint64_t>(cells.Integer());
        row.hours = cells.Real();
        SetFlags stored;
        stored.flags.recorderChanged = cells.Integer() != 0;
        stored.flags.countersBack = cells.Integer() != 0;
        stored.basis.comparedWith = cells.OptionalInteger();
        stored.basis.recorderElsewhere = cells.OptionalInteger();

        // As Add sets them, one read-out at a time.
        SetFlags set;
        ReadoutFlags& flags = set.flags;
        if (const auto previous = lastOfCrane.find(row.key); previous != lastOfCrane.end()) {
            const Row& earlier = previous->second;
            set.basis.comparedWith = earlier.id;
            flags.recorderChanged = earlier.recorder != row.recorder;
            flags.countersBack = earlier.wholeLifeRead && row.wholeLifeRead &&
                                 (row.cycles < earlier.cycles || row.hours < earlier.hours);
        }
        if (!row.recorder.empty()) {
            const auto previous = lastOfRecorder.find(row.recorder);
            if (previous != lastOfRecorder.end() && previous->second.key != row.key) {
                flags.recorderChanged = true;
                set.basis.recorderElsewhere = previous->second.id;
            }
            lastOfRecorder[row.recorder] = row;
        }
        lastOfCrane[row.key] = row;
        if (set == stored) continue;
        const SqlParam update[] = {
            std::int64_t{flags.recorderChanged}, std::int64_t{flags.countersBack},
            OptionalId(set.basis.comparedWith), OptionalId(set.basis.recorderElsewhere), row.id};
        if (auto run = connection.Run(
                "UPDATE readouts SET recorder_changed = $1, counters_back = $2, previous_id = $3, "
                "recorder_previous_id = $4 WHERE id = $5",
                update);
            !run) {
            return run.status;
        }
    }
    return {};
}

ArchiveStatus RefreshCraneLines(SqlConnection& connection) {
    if (auto run = connection.Run("DELETE FROM cranes"); !run) return run.status;
    return connection.Run(kLines).status;
}

ArchiveStatus RefreshCraneLine(SqlConnection& connection, std::string_view craneKey) {
    const SqlParam key = BlobOf(craneKey);
    if (auto run = connection.Run("DELETE FROM cranes WHERE crane_key = $1", {&key, 1}); !run)
        return run.status;
    return connection.Run(std::string(kLines) + " AND r.crane_key = $1", {&key, 1}).status;
}

}  // namespace zorvek::archive
