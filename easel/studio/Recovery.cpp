// The studio's side of its recovery journal: taking one at start-up, and
// keeping a journal that a restore could not replay in full.
#include <cstdio>

#include "studio/StudioHost.h"

namespace easel::studio {

namespace fs = std::filesystem;

namespace {

// Said at once: on standard error, and on the page with the first state.
void tell(Host& m, const std::string& text) {
    std::fprintf(stderr, "easel: %s\n", text.c_str());
    m.notices.push_back({{"kind", "recovery"}, {"text", text}});
}

}  // namespace

void openJournal(Host& m, const fs::path& base, bool offer) {
    m.journal.clear();
    JournalClaim claim = claimJournal(base);
    if (!claim.error.empty()) {
        tell(m, "no recovery journal is kept, so work is lost if the studio stops unexpectedly: " + claim.error +
                    " (set XDG_STATE_HOME to a folder that can be written)");
        return;
    }
    m.journal = claim.path;
    m.journalLock = std::move(claim.lock);
    if (!claim.note.empty()) tell(m, claim.note);
    if (offer) {
        std::string problem;
        m.recovery = readJournal(m.journal, problem);
        if (!problem.empty()) {
            std::string e;
            const fs::path kept = keepJournalAside(m.journal, e);
            if (kept.empty()) {
                // Written over, it would be lost: this studio keeps none.
                tell(m, problem + "; it cannot be set aside (" + e + "), so this studio keeps no recovery journal");
                m.journal.clear();
                m.journalLock.unlock();
                return;
            }
            tell(m, problem + "; it is kept as " + kept.string() + " and the studio starts without it");
        }
    }
    if (!m.recovery) m.rec.setJournal(m.journal);
}

std::string keepUnreplayedJournal(Host& m) {
    if (m.journal.empty()) return {};
    std::string e;
    const fs::path kept = keepJournalAside(m.journal, e);
    if (kept.empty()) {
        m.rec.setJournal({});
        return "the whole journal cannot be set aside (" + e + "), so this studio writes no recovery journal over it";
    }
    return "the whole journal is kept as " + kept.string();
}

}  // namespace easel::studio
