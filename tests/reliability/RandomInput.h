// The random inputs of a session, all drawn from its one seeded generator:
// the options a user could set in a dialog, the document with its selection
// and layers, and the drag's events.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "host/ASTypes.h"
#include "model/Document.h"
#include "adm/Dialog.h"

namespace reliability {

using Rng = std::mt19937_64;

double uniform(Rng& rng, double lo, double hi);
int between(Rng& rng, int lo, int hi);
bool chance(Rng& rng, double p);

// Sets random items of a dialog, inside and outside their ranges and every
// popup entry, then presses OK (now and then Cancel, or Reset first).
class RandomOptions : public easel::adm::DialogDriver {
public:
    explicit RandomOptions(Rng& rng) : rng_(rng) {}
    void run(easel::adm::Dialog& dialog) override;

    bool pressedReset = false;

private:
    Rng& rng_;
};

// The document, its selection and its layers for a session; `selectedOut`
// is the number of selected objects.
std::unique_ptr<easel::Document> randomDocument(Rng& rng, int& selectedOut);

struct Event {
    AIRealPoint p;
    int32_t modifiers;
    int16_t pressure;
};

// Mouse down, then the drag events: small steps, jumps, far and huge points,
// and modifier keys at a rate of the session's own.
std::vector<Event> randomEvents(Rng& rng, const easel::Document& doc, int selected);

}  // namespace reliability
