#include "progress/Statistics.h"

#include <algorithm>
#include <set>

namespace vantrel::progress {

std::vector<CharacterAccuracy> AccuracyWorstFirst(const std::vector<PairCount>& pairs) {
    std::map<unsigned char, CharacterAccuracy> byCharacter;
    for (const PairCount& pair : pairs) {
        if (pair.sent == 0) {
            continue;
        }
        CharacterAccuracy& accuracy = byCharacter[pair.sent];
        accuracy.character = pair.sent;
        accuracy.sent = AddCount(accuracy.sent, pair.count);
        accuracy.right = AddCount(accuracy.right, pair.IsRight() ? pair.count : 0);
    }
    std::vector<CharacterAccuracy> result;
    for (const auto& [character, accuracy] : byCharacter) {
        result.push_back(accuracy);
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const CharacterAccuracy& a, const CharacterAccuracy& b) {
                         // right/sent compared without rounding: a.right * b.sent < ...
                         const long long left = static_cast<long long>(a.right) * b.sent;
                         const long long right = static_cast<long long>(b.right) * a.sent;
                         return left != right ? left < right : a.sent > b.sent;
                     });
    return result;
}

ConfusionMatrix Confusions(const std::vector<PairCount>& pairs) {
    ConfusionMatrix matrix;
    std::map<unsigned char, int> errorsBySent;
    std::set<unsigned char> columns;
    for (const PairCount& pair : pairs) {
        if (pair.sent == 0 || pair.IsRight()) {
            continue;
        }
        int& cell = matrix.cells[{pair.sent, pair.copied}];
        cell = AddCount(cell, pair.count);
        errorsBySent[pair.sent] = AddCount(errorsBySent[pair.sent], pair.count);
        if (pair.copied != 0) {
            columns.insert(pair.copied);
        }
    }
    for (const auto& [character, errors] : errorsBySent) {
        matrix.rows.push_back(character);
    }
    std::stable_sort(matrix.rows.begin(), matrix.rows.end(),
                     [&errorsBySent](unsigned char a, unsigned char b) {
                         return errorsBySent[a] > errorsBySent[b];
                     });
    matrix.columns.assign(columns.begin(), columns.end());
    return matrix;
}

std::vector<CharacterResponse> ResponseMedians(const std::vector<DrillAnswer>& answers) {
    std::map<unsigned char, std::pair<CharacterResponse, std::vector<int>>> byCharacter;
    for (const DrillAnswer& answer : answers) {
        auto& [response, times] = byCharacter[answer.sent];
        response.character = answer.sent;
        ++response.answers;
        if (answer.right) {
            ++response.right;
            times.push_back(answer.responseMs);
        }
    }
    std::vector<CharacterResponse> result;
    for (auto& [character, entry] : byCharacter) {
        entry.first.medianMs = MedianOf(std::move(entry.second));
        result.push_back(entry.first);
    }
    std::stable_sort(
        result.begin(), result.end(), [](const CharacterResponse& a, const CharacterResponse& b) {
            return a.medianMs != b.medianMs ? a.medianMs > b.medianMs : a.answers > b.answers;
        });
    return result;
}

std::vector<ResponsePoint> ResponseTrend(const std::vector<DrillAnswer>& answers,
                                         unsigned char character) {
    std::vector<std::pair<int64_t, std::vector<int>>> sessions;  // in the order first met
    for (const DrillAnswer& answer : answers) {
        if (answer.sent != character || !answer.right) {
            continue;
        }
        if (sessions.empty() || sessions.back().first != answer.sessionUnix) {
            sessions.push_back({answer.sessionUnix, {}});
        }
        sessions.back().second.push_back(answer.responseMs);
    }
    std::vector<ResponsePoint> trend;
    for (auto& [session, times] : sessions) {
        const int right = static_cast<int>(times.size());
        trend.push_back({session, right, MedianOf(std::move(times))});
    }
    return trend;
}

}  // namespace vantrel::progress
