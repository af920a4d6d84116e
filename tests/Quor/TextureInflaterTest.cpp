// Inflating a whole stream in one call must read, and fail, exactly as zlib step by step.

#include "Quor/CByteReader.h"
#include "Quor/CTextureInflater.h"
#include "Quor/ReportError.h"
#include "tests/Quor/DeflateTestKit.h"
#include "tests/support/engine/ReportScope.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What a run of requests gave: each request's bytes (empty when refused), whether the stream
// then ended whole, and the reports.
struct SOutcome {
  std::vector<std::vector<uint8_t>> reads;
  bool ended = false;
  std::vector<std::string> reports;
};

SOutcome ReadAll(const std::vector<uint8_t>& stream, size_t mostInflated, const std::vector<size_t>& requests) {
  hmtest::Reports().clear();
  SOutcome outcome;
  CByteReader reader(stream);
  CTextureInflater inflater(reader, "pixels.dctz", mostInflated);
  for (size_t i = 0; i < requests.size(); ++i) {
    const char* what = i % 2 ? "odd request" : "even request";
    std::vector<uint8_t> bytes(requests[i]);
    if (i == 1) {  // one request copies, the others are taken in place
      if (!inflater.Read(bytes.data(), bytes.size(), what)) bytes.clear();
    } else {
      const uint8_t* taken = inflater.Take(requests[i], what);
      if (taken) bytes.assign(taken, taken + requests[i]);
      else bytes.clear();
    }
    outcome.reads.push_back(bytes);
  }
  outcome.ended = inflater.Finish();
  outcome.reports = hmtest::Reports();
  return outcome;
}

TEST(TextureInflater, WholeStreamReadsAndFailsLikeZlibStepByStep) {
  hmtest::CReportScope capture;
  std::vector<uint8_t> raw(5000);
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = uint8_t((i * 37) ^ (i >> 5));
  const std::vector<uint8_t> sound = Deflate(raw);
  std::vector<uint8_t> corrupt = sound;
  corrupt[sound.size() / 2] ^= 0x55;
  std::vector<uint8_t> badChecksum = sound;
  badChecksum.back() ^= 1;
  std::vector<uint8_t> trailing = sound;
  trailing.insert(trailing.end(), {1, 2, 3});

  struct SCase {
    const char* name;
    std::vector<uint8_t> stream;
    size_t mostInflated;
    std::vector<size_t> requests;
    bool filled;  // every request is filled
    bool ends;    // and the stream ends whole right after them
  } cases[] = {
      {"all of it", sound, 5000, {64, 0, 4000, 936}, true, true},
      {"less than all", sound, 5000, {100, 200}, true, false},
      {"bound below the stream", sound, 1000, {100, 200, 700}, true, false},
      {"stream shorter than asked", sound, 8000, {1000, 3000, 2000, 10}, false, false},
      {"cut short", std::vector<uint8_t>(sound.begin(), sound.end() - 40), 5000, {2000, 2900, 100}, false, false},
      {"cut before its checksum", std::vector<uint8_t>(sound.begin(), sound.end() - 4), 5000, {5000}, true, false},
      {"corrupt", corrupt, 6000, {2000, 3000, 1000}, false, false},
      {"bad checksum", badChecksum, 5000, {5000}, true, false},
      {"bad checksum, read on", badChecksum, 5000, {5000, 1}, false, false},
      {"trailing bytes", trailing, 6000, {5000}, true, true},
      {"not zlib", std::vector<uint8_t>(40, 0x11), 100, {10}, false, false},
      {"empty", {}, 100, {10}, false, false},
  };
  for (const SCase& c : cases) {
    SOutcome stepByStep = ReadAll(c.stream, 0, c.requests);
    SOutcome whole = ReadAll(c.stream, c.mostInflated, c.requests);
    EXPECT_EQ(whole.reads, stepByStep.reads) << c.name;
    EXPECT_EQ(whole.reports, stepByStep.reports) << c.name;
    EXPECT_EQ(whole.ended, c.ends) << c.name;
    EXPECT_EQ(stepByStep.ended, c.ends) << c.name;
    EXPECT_EQ(whole.reports.empty(), c.ends) << c.name;
    EXPECT_LE(whole.reports.size(), 1u) << c.name;  // one fault, reported once
    size_t offset = 0;
    for (size_t i = 0; c.filled && i < c.requests.size(); offset += c.requests[i++])
      EXPECT_EQ(whole.reads[i], std::vector<uint8_t>(raw.begin() + offset, raw.begin() + offset + c.requests[i]))
          << c.name;
  }
  SOutcome shortStream = ReadAll(sound, 8000, {1000, 3000, 2000, 10});
  ASSERT_EQ(shortStream.reports.size(), 1u);
  EXPECT_EQ(shortStream.reports[0],
            "pixels.dctz: zlib stream ends before the even request (1000 of 2000 bytes inflated)");
  SOutcome lessThanAll = ReadAll(sound, 5000, {100});
  ASSERT_EQ(lessThanAll.reports.size(), 1u);
  EXPECT_EQ(lessThanAll.reports[0], "pixels.dctz: zlib stream goes on after the picture");
}

}  // namespace
