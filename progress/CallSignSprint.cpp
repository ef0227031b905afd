#include "progress/CallSignSprint.h"

#include <algorithm>
#include <map>
#include <utility>

#include "support/Cp1251.h"

namespace vantrel::progress {

int CallErrors(const SprintCall& call) {
    const Alignment alignment = AlignCall(call);
    return static_cast<int>(std::count_if(alignment.pairs.begin(), alignment.pairs.end(),
                                          [](const AlignedPair& p) { return !p.IsRight(); }));
}

int CallPoints(const SprintCall& call) {
    const int errors = CallErrors(call);
    if (errors > 1) {
        return 0;
    }
    int points = static_cast<int>(call.sent.size()) * call.speed;
    points = errors == 1 ? points / 2 : points;
    return call.repeated ? points / 2 : points;
}

Alignment AlignCall(const SprintCall& call) {
    return Align(call.sent, call.typed);
}

int SprintRun::Score() const {
    int score = 0;
    for (const SprintCall& call : calls) {
        score += CallPoints(call);
    }
    return score;
}

int SprintRun::TopSpeed() const {
    int top = 0;
    for (const SprintCall& call : calls) {
        top = CallErrors(call) == 0 ? std::max(top, call.speed) : top;
    }
    return top;
}

int SprintRun::CallsRight() const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [](const SprintCall& c) { return CallErrors(c) == 0; }));
}

std::vector<PairCount> SprintRun::Pairs() const {
    std::map<std::pair<unsigned char, unsigned char>, int> sums;
    for (const SprintCall& call : calls) {
        for (const PairCount& pair : CountPairs(AlignCall(call))) {
            sums[{pair.sent, pair.copied}] += pair.count;
        }
    }
    std::vector<PairCount> pairs;
    for (const auto& [key, count] : sums) {
        pairs.push_back({key.first, key.second, count});
    }
    return pairs;
}

CallSignSprint::CallSignSprint(std::vector<std::string> calls, int startSpeed, SprintSpeeds speeds)
    : calls_(std::move(calls)),
      speeds_(speeds),
      speed_(std::clamp(startSpeed, speeds.min, speeds.max)) {
    if (calls_.size() > static_cast<std::size_t>(kSprintCalls)) {
        calls_.resize(kSprintCalls);
    }
    run_.startSpeed = speed_;
}

std::string_view CallSignSprint::Call() const {
    return Finished() ? std::string_view() : std::string_view(calls_[run_.calls.size()]);
}

bool CallSignSprint::Repeat() {
    if (Finished() || repeated_) {
        return false;
    }
    repeated_ = true;
    return true;
}

SprintCall CallSignSprint::Answer(std::string_view typedCp1251) {
    if (Finished()) {
        return {};
    }
    std::string typed = cp1251::ToUpper(typedCp1251);
    std::erase_if(typed, IsSeparator);
    SprintCall& call =
        run_.calls.emplace_back(SprintCall{std::string(Call()), typed, speed_, repeated_});
    repeated_ = false;
    const int step = CallErrors(call) == 0 ? speeds_.step : -speeds_.step;
    speed_ = std::clamp(speed_ + step, speeds_.min, speeds_.max);
    return call;
}

}  // namespace vantrel::progress
