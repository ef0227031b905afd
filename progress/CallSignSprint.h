// The call-sign sprint ("Позывные"): 50 call signs, each keyed once at the sprint's current
// speed; the learner types each and presses Enter.
//
// Speed. The first call goes at the speed the learner set; after a call copied right the speed
// goes one step up, after one copied wrong one step down, within the sprint's range (the
// ranges and the step come from the session: 10 to 100 groups per minute, step 2).
//
// Score. A call copied right earns its length (keyed characters, "/" included) times the speed
// it was keyed at; a call with one error (one character wrong, missed or extra, as the copy
// check's aligned comparison counts them) earns half of that, with two or more none. A call
// heard twice (one repeat is allowed) earns half of what it would have; halves are rounded
// down. The run's score is the sum over its calls; its top speed the highest speed of a call
// copied right (0 when none was).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "progress/Alignment.h"
#include "progress/CheckComparison.h"

namespace vantrel::progress {

inline constexpr int kSprintCalls = 50;
// The best runs shown to the learner and exported with the history.
inline constexpr int kBestSprintRuns = 10;

struct SprintSpeeds {
    int min = 0;
    int max = 0;
    int step = 0;
};

struct SprintCall {
    std::string sent;   // Windows-1251
    std::string typed;  // upper-cased, blanks and line breaks left out
    int speed = 0;      // groups per minute it was keyed at
    bool repeated = false;
    friend bool operator==(const SprintCall&, const SprintCall&) = default;
};

// Wrong, missed and extra characters of the call's copy (the aligned comparison's edits).
int CallErrors(const SprintCall& call);
// The call's points by the rule above.
int CallPoints(const SprintCall& call);
// The call as sent aligned with its copy, for showing the errors marked.
Alignment AlignCall(const SprintCall& call);

struct SprintRun {
    int64_t id = 0;        // in the history; 0 before it is stored
    int64_t timeUnix = 0;  // when it ended, seconds since 1970 UTC
    int startSpeed = 0;
    std::vector<SprintCall> calls;

    int Score() const;
    int TopSpeed() const;
    int CallsRight() const;
    // Per-character results of every call, as a check's (summed by character pair).
    std::vector<PairCount> Pairs() const;
};

class CallSignSprint {
  public:
    // Sends the first 50 of `calls` (Windows-1251, as the contact generator builds them),
    // starting at `startSpeed` brought into the range.
    CallSignSprint(std::vector<std::string> calls, int startSpeed, SprintSpeeds speeds);

    bool Finished() const { return run_.calls.size() == calls_.size(); }
    // The call to key now and its speed; empty once finished.
    std::string_view Call() const;
    int Speed() const { return speed_; }
    // The learner asks to hear the call again: true when this is the call's one repeat.
    bool Repeat();
    // Takes the copy of the current call (upper-cased here), moves the speed and goes on to
    // the next call; returns the call as graded (nothing once finished).
    SprintCall Answer(std::string_view typedCp1251);

    // The run so far (the calls answered).
    const SprintRun& Run() const { return run_; }

  private:
    std::vector<std::string> calls_;
    SprintSpeeds speeds_;
    int speed_;
    bool repeated_ = false;
    SprintRun run_;
};

}  // namespace vantrel::progress
