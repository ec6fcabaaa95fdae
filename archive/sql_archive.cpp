#include "archive/sql_archive.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <thread>
#include <utility>

#include "archive/crane_history.h"
#include "archive/image_facts.h"
#include "archive/os_user.h"
#include "archive/schema.h"
#include "archive/server_schema.h"
#include "archive/sql_cells.h"
#include "model/cp1251.h"
#include "model/sha256.h"

namespace zorvek::archive {
namespace {

// The columns of a ReadoutSummary, in the order SummaryOf reads them.
// Every query names the read-outs "r".
constexpr std::string_view kSummaryColumns =
    "r.id, r.registration, r.factory_number, r.recorder_number, r.source, r.read_at, r.program, "
    "r.note, r.image_sha256, r.whole_life_read, r.period_read, r.total_cycles, r.period_cycles, "
    "r.total_hours, r.period_hours, r.overloads, r.overload_mass, r.lifted_mass, r.kp, "
    "r.actual_group, r.passport_group, r.life_used, r.normative_end, r.recorder_changed, "
    "r.counters_back, r.crane_key, r.read_at_source, r.previous_id, r.recorder_previous_id";

// The passport's texts are joined by NUL, which none of them can hold
// (the recorder's texts end at their first NUL).
constexpr char kPassportSeparator = '\0';

// A write the server gave up for another transaction is run again: a few
// times, never for longer than a user waits for an add.
constexpr int kWriteAttempts = 5;
constexpr auto kRetryFor = std::chrono::seconds(10);
constexpr auto kRetryPause = std::chrono::milliseconds(25);

// A real that is no number is kept as NULL: SQLite stores NaN as NULL
// anyway, and both backends then give the same NaN back.
SqlParam RealOf(double value) {
    return std::isfinite(value) ? SqlParam(value) : SqlParam(std::monostate{});
}

SqlParam OptionalReal(const std::optional<double>& value) {
    return value ? RealOf(*value) : SqlParam(std::monostate{});
}

SqlParam OptionalInteger(const std::optional<std::int64_t>& value) {
    return value ? SqlParam(*value) : SqlParam(std::monostate{});
}

// UTF-8 for a text column: without NUL, which a PostgreSQL text cannot hold.
std::string ReadableText(std::string_view cp1251) {
    std::string text = Utf8FromCp1251(cp1251);
    std::erase(text, '\0');
    return text;
}

std::vector<std::string> PassportOf(const std::string& joined) {
    std::vector<std::string> passport;
    for (std::size_t start = 0;;) {
        const std::size_t end = joined.find(kPassportSeparator, start);
        passport.push_back(joined.substr(start, end - start));
        if (end == std::string::npos) return passport;
        start = end + 1;
    }
}

ReadoutSummary SummaryOf(const SqlRow& row) {
    Cells cells(row);
    ReadoutSummary summary;
    summary.id = cells.Integer();
    summary.crane.registration = cells.Text();
    summary.crane.factoryNumber = cells.Text();
    summary.crane.recorderNumber = cells.Text();
    summary.source = static_cast<ReadoutSource>(cells.Integer());
    summary.readAt = std::chrono::sys_seconds(std::chrono::seconds(cells.Integer()));
    summary.program = cells.Text();
    summary.note = cells.Text();
    summary.imageSha256 = cells.Text();
    ReadoutFigures& figures = summary.figures;
    figures.wholeLifeRead = cells.Integer() != 0;
    figures.periodRead = cells.Integer() != 0;
    figures.totalCycles = static_cast<std::uint64_t>(cells.Integer());
    figures.periodCycles = static_cast<std::uint64_t>(cells.Integer());
    figures.totalHours = cells.Real();
    figures.periodHours = cells.Real();
    figures.overloads = static_cast<std::uint64_t>(cells.Integer());
    figures.overloadMass = cells.Real();
    figures.liftedMass = cells.Real();
    figures.kp = cells.OptionalReal();
    figures.actualGroup = cells.OptionalInt();
    figures.passportGroup = cells.OptionalInt();
    figures.lifeUsed = cells.OptionalReal();
    if (const auto days = cells.OptionalInteger()) {
        figures.normativeEnd = std::chrono::sys_days(std::chrono::days(*days));
    }
    summary.flags.recorderChanged = cells.Integer() != 0;
    summary.flags.countersBack = cells.Integer() != 0;
    summary.craneKey = cells.Text();
    summary.readAtSource = static_cast<ReadTimeSource>(cells.Integer());
    summary.basis.comparedWith = cells.OptionalInteger();
    summary.basis.recorderElsewhere = cells.OptionalInteger();
    return summary;
}

// The read-outs just before and just after the one read at $3 with id $4,
// in the lists' order.
struct Side {
    std::string_view condition;
    std::string_view order;
};
constexpr Side kBefore = {"(read_at < $3 OR (read_at = $3 AND id < $4))", "read_at DESC, id DESC"};
constexpr Side kAfter = {"(read_at > $3 OR (read_at = $3 AND id > $4))", "read_at, id"};

std::string Select(std::string_view rest) {
    return "SELECT " + std::string(kSummaryColumns) + " FROM readouts r " + std::string(rest);
}

// A moment as the archive keeps it: whole seconds since 1970, UTC.
std::int64_t SecondsOf(std::chrono::sys_seconds moment) {
    return moment.time_since_epoch().count();
}

std::int64_t Now() {
    return SecondsOf(
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now()));
}

// The crane's key for a key that may have been joined to another: $1 is
// the key as the spelling makes it.
constexpr std::string_view kJoinedKey =
    "COALESCE((SELECT a.crane_key FROM crane_aliases a WHERE a.alias_key = $1), $1)";

class SqlArchive final : public ReadoutArchive {
  public:
    SqlArchive(std::unique_ptr<SqlConnection> connection, int schemaVersion)
        : m_connection(std::move(connection)), m_schemaVersion(schemaVersion) {}

    ArchiveResult<Added> Add(const NewReadout& readout) override {
        if (ArchiveStatus writable = Writable(); !writable) return {writable, {}};
        const std::optional<ImageFacts> facts = FactsOfImage(readout.image);
        if (!facts) return {{ArchiveError::NotAnImage, {}}, {}};
        const std::string sha = HexOf(Sha256(readout.image));
        return Write<Added>([&](Added& added) { return Insert(readout, *facts, sha, added); });
    }

    ArchiveResult<std::vector<ReadoutSummary>> List(
        std::optional<std::string_view> registration) override {
        return Reconnecting([&] { return ListOnce(registration); });
    }

    ArchiveResult<std::vector<ReadoutSummary>> CraneReadouts(std::string_view craneKey) override {
        return Reconnecting([&] {
            const SqlParam key = BlobOf(craneKey);
            return Summaries(m_connection->Run(
                Select("WHERE r.crane_key = $1 ORDER BY r.read_at DESC, r.id DESC"), {&key, 1}));
        });
    }

    ArchiveResult<StoredReadout> Get(ReadoutId id) override {
        return Reconnecting([&] { return GetOnce(id); });
    }

    ArchiveResult<std::vector<FleetLine>> Fleet() override {
        return Reconnecting([&] { return FleetOnce(); });
    }

    ArchiveResult<std::vector<FleetCrane>> FleetDetails() override {
        return Reconnecting([&] { return FleetDetailsOnce(); });
    }

    ArchiveResult<ArchiveCheck> Check() override {
        return Reconnecting([&] { return CheckOnce(); });
    }

    ArchiveResult<Removed> Remove(ReadoutId id) override {
        return Write<Removed>([&](Removed& removed) { return RemoveOnce(id, removed); });
    }

    ArchiveStatus SetNote(ReadoutId id, std::string_view note) override {
        struct Nothing {};
        return Write<Nothing>([&](Nothing&) { return SetNoteOnce(id, note); }).status;
    }

    ArchiveResult<Joined> JoinCranes(std::string_view registration,
                                     std::string_view other) override {
        return Write<Joined>([&](Joined& joined) { return JoinOnce(registration, other, joined); });
    }

    ArchiveResult<std::vector<ArchiveChange>> Changes(ReadoutId id) override {
        return Reconnecting([&] { return ChangesOnce(id); });
    }

    ArchiveStatus Backup(const std::filesystem::path& file) override {
        return Reconnecting([&] {
                   ArchiveResult<bool> result;
                   result.status = m_connection->BackupTo(file);
                   return result;
               })
            .status;
    }

    std::string Location() const override { return m_connection->Location(); }

  private:
    // An archive of a newer program's is read, never written.
    ArchiveStatus Writable() const {
        if (m_schemaVersion <= LatestSchemaVersion()) return {};
        return {ArchiveError::SchemaTooNew,
                "схема архива версии " + std::to_string(m_schemaVersion) +
                    ", программа знает версии до " + std::to_string(LatestSchemaVersion())};
    }

    // How far a write got before it failed.
    enum class Stage { Connecting, Writing, Committing };

    // A server restarted since the last call has ended the connection, and
    // libpq finds out only at the first statement: the call runs once more
    // on a connection made anew, before anyone is told. A connection that
    // could not be made at all is not tried twice.
    template <typename Call>
    auto Reconnecting(Call call) -> decltype(call()) {
        decltype(call()) result;
        if (result.status = m_connection->Ready(); !result) return result;
        result = call();
        if (result.status.error != ArchiveError::CannotOpen) return result;
        if (const ArchiveStatus ready = m_connection->Ready(); !ready) {
            result = {};
            result.status = ready;
            return result;
        }
        return call();
    }

    // `body` as one transaction. Writers of this program wait for each
    // other; another client of the server (an older program, an
    // administrator's session) may still deadlock with a write, which the
    // server then gives up, and the write is run again.
    template <typename Value, typename Body>
    ArchiveResult<Value> Write(Body body) {
        ArchiveResult<Value> result;
        if (result.status = Writable(); !result) return result;
        const auto until = std::chrono::steady_clock::now() + kRetryFor;
        bool reconnected = false;
        for (int attempt = 1;;) {
            bool lost = false;
            Stage reached = Stage::Connecting;
            result = WriteOnce<Value>(body, lost, reached);
            // A connection that broke before COMMIT was sent took its
            // transaction with it: nothing was written, and the write runs
            // once more on a connection made anew. After COMMIT it may have
            // been written, and the failure is told as it is.
            if (result.status.error == ArchiveError::CannotOpen && reached == Stage::Writing &&
                !reconnected) {
                reconnected = true;
                continue;
            }
            if (result || !lost || attempt == kWriteAttempts ||
                std::chrono::steady_clock::now() >= until) {
                return result;
            }
            std::this_thread::sleep_for(attempt * kRetryPause);
            ++attempt;
        }
    }

    // One transaction of Write; `lost` when the server gave it up for
    // another, `reached` how far it got.
    template <typename Value, typename Body>
    ArchiveResult<Value> WriteOnce(Body& body, bool& lost, Stage& reached) {
        ArchiveResult<Value> result;
        if (result.status = m_connection->Ready(); !result) return result;
        reached = Stage::Writing;
        if (result.status = m_connection->BeginWrite(); !result) {
            lost = m_connection->LostToAnotherTransaction();
            return result;
        }
        result.status = body(result.value);
        if (result) {
            reached = Stage::Committing;
            if (auto committed = m_connection->Run("COMMIT"); !committed) {
                result.status = committed.status;
            }
        }
        if (!result) {
            lost = m_connection->LostToAnotherTransaction();
            result.status = RolledBack(*m_connection, std::move(result.status));
        }
        return result;
    }

    static ArchiveResult<std::vector<ReadoutSummary>> Summaries(
        const ArchiveResult<std::vector<SqlRow>>& rows) {
        ArchiveResult<std::vector<ReadoutSummary>> result;
        result.status = rows.status;
        for (const SqlRow& row : rows.value) result.value.push_back(SummaryOf(row));
        return result;
    }

    ArchiveResult<std::vector<ReadoutSummary>> ListOnce(
        std::optional<std::string_view> registration) {
        if (!registration) {
            return Summaries(m_connection->Run(Select("ORDER BY r.read_at DESC, r.id DESC")));
        }
        const std::string spelling = RegistrationKey(*registration);
        const SqlParam key = BlobOf(spelling);
        return Summaries(m_connection->Run(Select("WHERE r.crane_key = " + std::string(kJoinedKey) +
                                                  " ORDER BY r.read_at DESC, r.id DESC"),
                                           {&key, 1}));
    }

    ArchiveResult<StoredReadout> GetOnce(ReadoutId id) {
        ArchiveResult<StoredReadout> result;
        const SqlParam key = std::int64_t{id};
        auto rows = m_connection->Run(
            "SELECT " + std::string(kSummaryColumns) +
                ", r.passport, i.bytes FROM readouts r JOIN images i ON i.sha256 = r.image_sha256 "
                "WHERE r.id = $1",
            {&key, 1});
        if (!rows) {
            result.status = rows.status;
            return result;
        }
        if (rows.value.empty()) {
            result.status = {ArchiveError::NotFound, "№ " + std::to_string(id)};
            return result;
        }
        const SqlRow& row = rows.value.front();
        result.value.summary = SummaryOf(row);
        result.value.passport = PassportOf(row[row.size() - 2].value_or(""));
        const std::string image = row.back().value_or("");
        result.value.image.assign(image.begin(), image.end());
        if (HexOf(Sha256(result.value.image)) != result.value.summary.imageSha256) {
            result = {};
            result.status = {ArchiveError::ImageChanged, "№ " + std::to_string(id)};
        }
        return result;
    }

    // With `passports`, the passport texts of each line's read-out go there.
    ArchiveResult<std::vector<FleetLine>> FleetOnce(
        std::vector<std::vector<std::string>>* passports = nullptr) {
        ArchiveResult<std::vector<FleetLine>> result;
        // The cranes' table keeps each crane's newest read-out, count and
        // flags as read-outs are added: the list never ranks every read-out.
        auto rows = m_connection->Run("SELECT " + std::string(kSummaryColumns) +
                                      ", c.readout_count, c.any_recorder_changed, "
                                      "c.any_counters_back" +
                                      (passports ? ", r.passport" : "") +
                                      " FROM cranes c JOIN readouts r ON "
                                      "r.id = c.newest_id ORDER BY c.registration, c.crane_key");
        result.status = rows.status;
        for (SqlRow& row : rows.value) {
            if (passports) {
                passports->push_back(PassportOf(row.back().value_or("")));
                row.pop_back();
            }
            FleetLine line;
            line.last = SummaryOf(row);
            const std::size_t extra = row.size() - 3;
            line.readouts = NumberOf<int>(row[extra]).value_or(0);
            line.anyFlags.recorderChanged = NumberOf<int>(row[extra + 1]).value_or(0) != 0;
            line.anyFlags.countersBack = NumberOf<int>(row[extra + 2]).value_or(0) != 0;
            result.value.push_back(std::move(line));
        }
        return result;
    }

    ArchiveResult<std::vector<FleetCrane>> FleetDetailsOnce() {
        ArchiveResult<std::vector<FleetCrane>> result;
        std::vector<std::vector<std::string>> passports;
        auto lines = FleetOnce(&passports);
        if (!lines) {
            result.status = lines.status;
            return result;
        }
        // Each crane's read-out just before its newest, found through the
        // crane's index: one look-up per crane, however many read-outs it has.
        auto previous = m_connection->Run(
            Select("JOIN cranes c ON r.id = (SELECT p.id FROM readouts p WHERE p.crane_key = "
                   "c.crane_key AND (p.read_at < c.newest_read_at OR (p.read_at = "
                   "c.newest_read_at AND p.id < c.newest_id)) ORDER BY p.read_at DESC, p.id DESC "
                   "LIMIT 1)"));
        if (!previous) {
            result.status = previous.status;
            return result;
        }
        std::map<std::string, ReadoutSummary> before;
        for (const SqlRow& row : previous.value) {
            ReadoutSummary summary = SummaryOf(row);
            std::string key = summary.craneKey;
            before.emplace(std::move(key), std::move(summary));
        }
        for (std::size_t i = 0; i < lines.value.size(); ++i) {
            FleetCrane crane{std::move(lines.value[i]), std::move(passports[i]), std::nullopt};
            if (const auto found = before.find(crane.line.last.craneKey); found != before.end()) {
                crane.previous = std::move(found->second);
            }
            result.value.push_back(std::move(crane));
        }
        return result;
    }

    ArchiveResult<ArchiveCheck> CheckOnce() {
        ArchiveResult<ArchiveCheck> result;
        if (const std::string_view check = m_connection->Dialect().integrityCheck; !check.empty()) {
            auto findings = m_connection->Run(check);
            if (!findings) {
                result.status = findings.status;
                return result;
            }
            for (const SqlRow& row : findings.value) {
                const std::string finding = row.empty() ? "" : row.front().value_or("");
                if (finding != "ok") result.value.database.push_back(finding);
            }
        }
        // A page of images at a time: a large archive's images would not
        // fit in memory at once.
        constexpr std::int64_t kPage = 64;
        for (std::int64_t after = 0;;) {
            const SqlParam params[] = {after, kPage};
            auto page = m_connection->Run(
                "SELECT r.id, r.image_sha256, i.bytes FROM readouts r LEFT JOIN images i ON "
                "i.sha256 = r.image_sha256 WHERE r.id > $1 ORDER BY r.id LIMIT $2",
                params);
            if (!page) {
                result.status = page.status;
                return result;
            }
            for (const SqlRow& row : page.value) {
                Cells cells(row);
                after = cells.Integer();
                const std::string sha = cells.Text();
                const SqlCell& bytes = cells.Next();
                ++result.value.readouts;
                if (!bytes ||
                    HexOf(Sha256(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()),
                                           bytes->size()))) != sha) {
                    result.value.changed.push_back(after);
                }
            }
            if (static_cast<std::int64_t>(page.value.size()) < kPage) return result;
        }
    }

    ArchiveStatus Insert(const NewReadout& readout, const ImageFacts& facts, const std::string& sha,
                         Added& added) {
        // Looked for first: an insert that meets the stored image would
        // still use up an id, and ids with gaps puzzle whoever reads them.
        // The crane's key in the same round trip: a spelling joined to
        // another crane's stores its read-outs there.
        const std::string spelling = CraneKeyOf(facts.crane, sha);
        const SqlParam look[] = {BlobOf(spelling), std::string_view(sha)};
        auto stored = m_connection->Run(
            "SELECT (SELECT id FROM readouts WHERE image_sha256 = $2), " + std::string(kJoinedKey),
            look);
        if (!stored) return stored.status;
        if (!stored.value.empty() && stored.value.front()[0]) return Found(stored.value, added);
        const std::string key =
            stored.value.empty() ? spelling : stored.value.front()[1].value_or(spelling);

        const std::int64_t readAt = SecondsOf(readout.readAt);
        auto flags = FlagsAgainstEarlier(key, facts, readAt);
        if (!flags) return flags.status;
        added.flags = flags.value.flags;
        added.basis = flags.value.basis;

        const SqlParam image[] = {std::string_view(sha), SqlBlob{readout.image}};
        if (auto run = m_connection->Run("INSERT INTO images (sha256, bytes) VALUES ($1, $2) ON "
                                         "CONFLICT (sha256) DO NOTHING",
                                         image);
            !run) {
            return run.status;
        }

        std::string passport;
        std::string passportText;
        for (const std::string& text : facts.passport) {
            if (&text != &facts.passport.front()) {
                passport += kPassportSeparator;
                passportText += '\n';
            }
            passport += text;
            passportText += ReadableText(text);
        }
        const std::string registrationText = ReadableText(facts.crane.registration);
        const std::string noteText = ReadableText(readout.note);
        const ReadoutFigures& figures = facts.figures;
        const SqlParam values[] = {
            std::string_view(sha),
            BlobOf(facts.crane.registration),
            BlobOf(facts.crane.factoryNumber),
            BlobOf(facts.crane.recorderNumber),
            std::string_view(registrationText),
            std::int64_t{static_cast<int>(readout.source)},
            readAt,
            Now(),
            BlobOf(readout.program),
            BlobOf(readout.note),
            std::string_view(noteText),
            BlobOf(passport),
            std::string_view(passportText),
            std::int64_t{figures.wholeLifeRead},
            std::int64_t{figures.periodRead},
            static_cast<std::int64_t>(figures.totalCycles),
            static_cast<std::int64_t>(figures.periodCycles),
            RealOf(figures.totalHours),
            RealOf(figures.periodHours),
            static_cast<std::int64_t>(figures.overloads),
            RealOf(figures.overloadMass),
            RealOf(figures.liftedMass),
            OptionalReal(figures.kp),
            OptionalInteger(figures.actualGroup),
            OptionalInteger(figures.passportGroup),
            OptionalReal(figures.lifeUsed),
            OptionalInteger(
                figures.normativeEnd
                    ? std::optional<std::int64_t>(figures.normativeEnd->time_since_epoch().count())
                    : std::nullopt),
            std::int64_t{added.flags.recorderChanged},
            std::int64_t{added.flags.countersBack},
            BlobOf(key),
            std::int64_t{static_cast<int>(readout.readAtSource)},
            OptionalId(added.basis.comparedWith),
            OptionalId(added.basis.recorderElsewhere),
        };
        auto inserted = m_connection->Run(
            "INSERT INTO readouts (image_sha256, registration, factory_number, recorder_number, "
            "registration_text, source, read_at, stored_at, program, note, note_text, passport, "
            "passport_text, whole_life_read, period_read, total_cycles, period_cycles, "
            "total_hours, period_hours, overloads, overload_mass, lifted_mass, kp, actual_group, "
            "passport_group, life_used, normative_end, recorder_changed, counters_back, "
            "crane_key, read_at_source, previous_id, recorder_previous_id) VALUES "
            "($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17, $18, "
            "$19, $20, $21, $22, $23, $24, $25, $26, $27, $28, $29, $30, $31, $32, $33) "
            "ON CONFLICT (image_sha256) DO NOTHING RETURNING id",
            values);
        if (!inserted) return inserted.status;
        if (!inserted.value.empty()) {
            added.id = NumberOf<ReadoutId>(inserted.value.front().front()).value_or(0);
            if (ArchiveStatus counted = CountIn(key, facts.crane.registration, added, readAt);
                !counted)
                return counted;
            return FlagLaterAnew(key, facts.crane.recorderNumber, readAt, added.id);
        }
        // Another writer stored the same image since the look above: the
        // unique image keeps its one read-out.
        const SqlParam shaParam = std::string_view(sha);
        stored =
            m_connection->Run("SELECT id FROM readouts WHERE image_sha256 = $1", {&shaParam, 1});
        if (!stored) return stored.status;
        return Found(stored.value, added);
    }

    // The crane's line of the fleet: one more read-out, the newest by time
    // (then by id, as the lists order them) with its registration as
    // written, any flag of any read-out.
    ArchiveStatus CountIn(const std::string& key, const std::string& registration,
                          const Added& added, std::int64_t readAt) {
        const SqlParam values[] = {BlobOf(key),
                                   BlobOf(registration),
                                   added.id,
                                   readAt,
                                   std::int64_t{added.flags.recorderChanged},
                                   std::int64_t{added.flags.countersBack}};
        // Whether the read-out counted in is newer than the crane's newest.
        const std::string newer =
            "(excluded.newest_read_at > cranes.newest_read_at OR (excluded.newest_read_at = "
            "cranes.newest_read_at AND excluded.newest_id > cranes.newest_id))";
        const auto newest = [&](const char* column) {
            return std::string(column) + " = CASE WHEN " + newer + " THEN excluded." + column +
                   " ELSE cranes." + column + " END";
        };
        return m_connection
            ->Run(
                "INSERT INTO cranes (crane_key, registration, readout_count, newest_id, "
                "newest_read_at, any_recorder_changed, any_counters_back) VALUES ($1, $2, 1, $3, "
                "$4, $5, $6) ON CONFLICT (crane_key) DO UPDATE SET "
                "readout_count = cranes.readout_count + 1, " +
                    newest("registration") + ", " + newest("newest_id") + ", " +
                    newest("newest_read_at") +
                    ", any_recorder_changed = CASE WHEN excluded.any_recorder_changed = 1 THEN 1 "
                    "ELSE cranes.any_recorder_changed END, "
                    "any_counters_back = CASE WHEN excluded.any_counters_back = 1 THEN 1 "
                    "ELSE cranes.any_counters_back END",
                values)
            .status;
    }

    ArchiveStatus Found(const std::vector<SqlRow>& rows, Added& added) {
        added = {};
        if (rows.empty()) return {ArchiveError::DatabaseFailure, "считывание пропало из архива"};
        added.id = NumberOf<ReadoutId>(rows.front().front()).value_or(0);
        added.alreadyStored = true;
        const SqlParam key = std::int64_t{added.id};
        auto flags = m_connection->Run(
            "SELECT recorder_changed, counters_back, previous_id, recorder_previous_id FROM "
            "readouts WHERE id = $1",
            {&key, 1});
        if (!flags) return flags.status;
        if (!flags.value.empty()) {
            Cells cells(flags.value.front());
            added.flags.recorderChanged = cells.Integer() != 0;
            added.flags.countersBack = cells.Integer() != 0;
            added.basis.comparedWith = cells.OptionalInteger();
            added.basis.recorderElsewhere = cells.OptionalInteger();
        }
        return {};
    }

    // In one statement, for a server at the far end of a network: `columns`
    // of the crane's read-out on `side` of the one read at `readAt` with `id`
    // (first cell "whose" 0), and of its recorder's, when the recorder has a
    // number ("whose" 1).
    ArchiveResult<std::vector<SqlRow>> NextOfCraneAndRecorder(std::string_view key,
                                                              std::string_view recorder,
                                                              std::int64_t readAt, ReadoutId id,
                                                              std::string_view columns,
                                                              const Side& side) {
        const SqlParam params[] = {BlobOf(key), BlobOf(recorder), readAt, std::int64_t{id}};
        const std::string near =
            std::string(side.condition) + " ORDER BY " + std::string(side.order) + " LIMIT 1";
        return m_connection->Run(
            "SELECT * FROM (SELECT 0 AS whose, " + std::string(columns) +
                " FROM readouts WHERE crane_key = $1 AND " + near +
                ") AS of_crane UNION ALL SELECT * FROM (SELECT 1 AS whose, " +
                std::string(columns) +
                " FROM readouts WHERE recorder_number = $2 AND length($2) > 0 AND " + near +
                ") AS of_recorder",
            params);
    }

    // Set against the crane's read-out before this one (in time, then by
    // id, as the lists order them), and the recorder's: a recorder moved or
    // counters reset are flagged, the read-out is kept all the same. `id`
    // is a stored read-out's own, or none for one not stored yet.
    ArchiveResult<SetFlags> FlagsAgainstEarlier(
        const std::string& key, const ImageFacts& facts, std::int64_t readAt,
        ReadoutId id = std::numeric_limits<ReadoutId>::max()) {
        ArchiveResult<SetFlags> result;
        auto earlier = NextOfCraneAndRecorder(
            key, facts.crane.recorderNumber, readAt, id,
            "id, crane_key, recorder_number, whole_life_read, total_cycles, total_hours", kBefore);
        result.status = earlier.status;
        const ReadoutFigures& figures = facts.figures;
        ReadoutFlags& flags = result.value.flags;
        FlagBasis& basis = result.value.basis;
        for (const SqlRow& row : earlier.value) {
            Cells cells(row);
            const bool ofCrane = cells.Integer() == 0;
            const ReadoutId earlierId = cells.Integer();
            const std::string craneKey = cells.Text();
            const std::string recorder = cells.Text();
            const bool wholeLifeRead = cells.Integer() != 0;
            const auto cycles = static_cast<std::uint64_t>(cells.Integer());
            const double hours = cells.Real();
            if (!ofCrane) {
                if (craneKey != key) {
                    flags.recorderChanged = true;
                    basis.recorderElsewhere = earlierId;
                }
                continue;
            }
            basis.comparedWith = earlierId;
            flags.recorderChanged |= recorder != facts.crane.recorderNumber;
            flags.countersBack = wholeLifeRead && figures.wholeLifeRead &&
                                 (figures.totalCycles < cycles || figures.totalHours < hours);
        }
        return result;
    }

    // A read-out stored out of time order stands before read-outs already
    // there (an engineer adding old dump files after newer ones), and one
    // removed leaves a gap: the crane's next read-out and the recorder's are
    // set anew against what now comes before them, and their cranes' lines
    // of the fleet with them.
    ArchiveStatus FlagLaterAnew(const std::string& key, const std::string& recorder,
                                std::int64_t readAt, ReadoutId id) {
        auto later = NextOfCraneAndRecorder(key, recorder, readAt, id,
                                            "id, crane_key, recorder_number, whole_life_read, "
                                            "total_cycles, total_hours, read_at, recorder_changed, "
                                            "counters_back, previous_id, recorder_previous_id",
                                            kAfter);
        if (!later) return later.status;
        for (const SqlRow& row : later.value) {
            Cells cells(row);
            cells.Next();  // whose: the crane's and the recorder's are set alike
            const ReadoutId laterId = cells.Integer();
            const std::string laterKey = cells.Text();
            ImageFacts laterFacts;
            laterFacts.crane.recorderNumber = cells.Text();
            laterFacts.figures.wholeLifeRead = cells.Integer() != 0;
            laterFacts.figures.totalCycles = static_cast<std::uint64_t>(cells.Integer());
            laterFacts.figures.totalHours = cells.Real();
            const std::int64_t laterReadAt = cells.Integer();
            SetFlags before;
            before.flags.recorderChanged = cells.Integer() != 0;
            before.flags.countersBack = cells.Integer() != 0;
            before.basis.comparedWith = cells.OptionalInteger();
            before.basis.recorderElsewhere = cells.OptionalInteger();
            const auto flags = FlagsAgainstEarlier(laterKey, laterFacts, laterReadAt, laterId);
            if (!flags) return flags.status;
            const SetFlags& now = flags.value;
            if (now == before) continue;
            const SqlParam update[] = {std::int64_t{now.flags.recorderChanged},
                                       std::int64_t{now.flags.countersBack},
                                       OptionalId(now.basis.comparedWith),
                                       OptionalId(now.basis.recorderElsewhere), laterId};
            if (auto run = m_connection->Run(
                    "UPDATE readouts SET recorder_changed = $1, counters_back = $2, previous_id = "
                    "$3, recorder_previous_id = $4 WHERE id = $5",
                    update);
                !run) {
                return run.status;
            }
            const SqlParam crane = BlobOf(laterKey);
            if (auto run = m_connection->Run(
                    "UPDATE cranes SET any_recorder_changed = (SELECT MAX(r.recorder_changed) FROM "
                    "readouts r WHERE r.crane_key = cranes.crane_key), any_counters_back = "
                    "(SELECT MAX(r.counters_back) FROM readouts r WHERE r.crane_key = "
                    "cranes.crane_key) WHERE crane_key = $1",
                    {&crane, 1});
                !run) {
                return run.status;
            }
        }
        return {};
    }

    // One line of the log: who of the system's users changed what, and when.
    ArchiveStatus Log(ChangeKind kind, std::optional<ReadoutId> readout, std::string_view key,
                      std::string_view detail) {
        const std::string detailText = ReadableText(detail);
        const std::string who = OsUserName();
        const SqlParam values[] = {OptionalId(readout),
                                   BlobOf(key),
                                   std::int64_t{static_cast<int>(kind)},
                                   BlobOf(detail),
                                   std::string_view(detailText),
                                   std::string_view(who),
                                   Now()};
        return m_connection
            ->Run(
                "INSERT INTO archive_changes (readout_id, crane_key, kind, detail, detail_text, "
                "who, at) VALUES ($1, $2, $3, $4, $5, $6, $7)",
                values)
            .status;
    }

    ArchiveStatus RemoveOnce(ReadoutId id, Removed& removed) {
        removed = {};
        const SqlParam key = std::int64_t{id};
        auto found = m_connection->Run(
            "SELECT crane_key, image_sha256, recorder_number, read_at, registration, "
            "factory_number FROM readouts WHERE id = $1",
            {&key, 1});
        if (!found) return found.status;
        if (found.value.empty()) return {ArchiveError::NotFound, "№ " + std::to_string(id)};
        Cells cells(found.value.front());
        const std::string craneKey = cells.Text();
        const std::string sha = cells.Text();
        const std::string recorder = cells.Text();
        const std::int64_t readAt = cells.Integer();
        removed.crane.registration = cells.Text();
        removed.crane.factoryNumber = cells.Text();
        removed.crane.recorderNumber = recorder;

        // The fleet's line names the read-out; it is made anew below.
        const SqlParam crane = BlobOf(craneKey);
        if (auto run = m_connection->Run("DELETE FROM cranes WHERE crane_key = $1", {&crane, 1});
            !run) {
            return run.status;
        }
        if (auto run = m_connection->Run("DELETE FROM readouts WHERE id = $1", {&key, 1}); !run)
            return run.status;
        const SqlParam shaParam = std::string_view(sha);
        auto dropped = m_connection->Run(
            "DELETE FROM images WHERE sha256 = $1 AND NOT EXISTS (SELECT 1 FROM readouts WHERE "
            "image_sha256 = $1) RETURNING sha256",
            {&shaParam, 1});
        if (!dropped) return dropped.status;
        removed.imageKept = dropped.value.empty();
        if (ArchiveStatus flagged = FlagLaterAnew(craneKey, recorder, readAt, id); !flagged)
            return flagged;
        if (ArchiveStatus line = RefreshCraneLine(*m_connection, craneKey); !line) return line;
        const std::string detail = removed.crane.registration + ", " + removed.crane.factoryNumber +
                                   ", " + recorder + ", SHA-256 " + sha;
        return Log(ChangeKind::Removed, id, craneKey, detail);
    }

    ArchiveStatus SetNoteOnce(ReadoutId id, std::string_view note) {
        const SqlParam key = std::int64_t{id};
        auto found =
            m_connection->Run("SELECT crane_key, note FROM readouts WHERE id = $1", {&key, 1});
        if (!found) return found.status;
        if (found.value.empty()) return {ArchiveError::NotFound, "№ " + std::to_string(id)};
        const std::string craneKey = found.value.front()[0].value_or("");
        const std::string before = found.value.front()[1].value_or("");
        const std::string noteText = ReadableText(note);
        const SqlParam values[] = {BlobOf(note), std::string_view(noteText), key};
        if (auto run = m_connection->Run(
                "UPDATE readouts SET note = $1, note_text = $2 WHERE id = $3", values);
            !run) {
            return run.status;
        }
        return Log(ChangeKind::NoteChanged, id, craneKey,
                   "\xAB" + before + "\xBB \x97 \xAB" + std::string(note) + "\xBB");
    }

    // The crane key a registration stands for now, and its registration as
    // the fleet shows it; nothing when no read-out has it.
    ArchiveResult<std::optional<std::pair<std::string, std::string>>> CraneOf(
        std::string_view registration) {
        ArchiveResult<std::optional<std::pair<std::string, std::string>>> result;
        const std::string spelling = RegistrationKey(registration);
        const SqlParam key = BlobOf(spelling);
        auto found =
            m_connection->Run("SELECT crane_key, registration FROM cranes WHERE crane_key = " +
                                  std::string(kJoinedKey),
                              {&key, 1});
        result.status = found.status;
        if (found && !found.value.empty()) {
            result.value.emplace(found.value.front()[0].value_or(""),
                                 found.value.front()[1].value_or(""));
        }
        return result;
    }

    ArchiveStatus JoinOnce(std::string_view registration, std::string_view other, Joined& joined) {
        joined = {};
        auto first = CraneOf(registration);
        if (!first) return first.status;
        auto second = CraneOf(other);
        if (!second) return second.status;
        for (const auto& [crane, spelling] :
             {std::pair(&first.value, registration), std::pair(&second.value, other)}) {
            if (!*crane) {
                return {ArchiveError::NotFound,
                        "нет крана с рег. № " + Utf8FromCp1251(std::string(spelling))};
            }
        }
        const auto& [keep, keptSpelling] = *first.value;
        const auto& [gone, goneSpelling] = *second.value;
        if (keep == gone) {
            joined.alreadyOne = true;
            return {};
        }
        const SqlParam keys[] = {BlobOf(keep), BlobOf(gone)};
        auto moved = m_connection->Run(
            "UPDATE readouts SET crane_key = $1 WHERE crane_key = $2 RETURNING id", keys);
        if (!moved) return moved.status;
        joined.readoutsMoved = static_cast<int>(moved.value.size());
        // Spellings joined to the second before now go to the first, and
        // the second's own; its log goes along.
        for (const char* statement :
             {"UPDATE crane_aliases SET crane_key = $1 WHERE crane_key = $2",
              "INSERT INTO crane_aliases (alias_key, crane_key) VALUES ($2, $1) ON CONFLICT "
              "(alias_key) DO UPDATE SET crane_key = excluded.crane_key",
              "UPDATE archive_changes SET crane_key = $1 WHERE crane_key = $2"}) {
            if (auto run = m_connection->Run(statement, keys); !run) return run.status;
        }
        if (ArchiveStatus flagged = FlagAllAnew(*m_connection); !flagged) return flagged;
        if (ArchiveStatus lines = RefreshCraneLines(*m_connection); !lines) return lines;
        return Log(ChangeKind::CranesJoined, std::nullopt, keep,
                   "\xAB" + goneSpelling + "\xBB \x97 \xAB" + keptSpelling + "\xBB");
    }

    ArchiveResult<std::vector<ArchiveChange>> ChangesOnce(ReadoutId id) {
        ArchiveResult<std::vector<ArchiveChange>> result;
        const SqlParam key = std::int64_t{id};
        auto rows = m_connection->Run(
            "SELECT kind, readout_id, detail, who, at FROM archive_changes WHERE readout_id = $1 "
            "OR (readout_id IS NULL AND crane_key = (SELECT crane_key FROM readouts WHERE id = "
            "$1)) ORDER BY at, id",
            {&key, 1});
        result.status = rows.status;
        for (const SqlRow& row : rows.value) {
            Cells cells(row);
            ArchiveChange change;
            change.kind = static_cast<ChangeKind>(cells.Integer());
            change.readout = cells.Integer();
            change.detail = cells.Text();
            change.who = cells.Text();
            change.at = std::chrono::sys_seconds(std::chrono::seconds(cells.Integer()));
            result.value.push_back(std::move(change));
        }
        return result;
    }

    std::unique_ptr<SqlConnection> m_connection;
    int m_schemaVersion;
};

}  // namespace

ArchiveResult<std::unique_ptr<ReadoutArchive>> OpenSqlArchive(
    std::unique_ptr<SqlConnection> connection, SchemaOnOpen schema) {
    ArchiveResult<std::unique_ptr<ReadoutArchive>> result;
    const ArchiveResult<int> migrated = schema == SchemaOnOpen::MakeOrMigrate
                                            ? Migrate(*connection)
                                            : ServerSchemaVersion(*connection);
    if (!migrated) {
        result.status = migrated.status;
        return result;
    }
    result.value = std::make_unique<SqlArchive>(std::move(connection), migrated.value);
    return result;
}

}  // namespace zorvek::archive
