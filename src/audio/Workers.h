#pragma once

#include "audio/Recorder.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

// Recording on every processor: the engine synthesises on one processor per process, and the
// encoders are slower still, so a long text is cut into as many contiguous shares as there are
// workers. Each worker (vocalix-cli started by us) speaks its share into a WAV file of its own
// with its own encoder behind it; the parts are then joined in order. The samples are those one
// process makes, fragment for fragment.
namespace vocalix::audio {

// How many processes record `fragments` fragments with the Extra/Workers setting (0 = one per
// processor): never more than there are fragments, at least one.
int WorkerCount(int setting, size_t fragments);

// The worker program: vocalix-cli beside this program, else on PATH; empty when there is none.
std::filesystem::path WorkerProgram();

// RecordAndConvert with `workers` worker processes of `workerProgram` (for the voice of the
// program's own engine). The fragments are prepared here (`hooks.prepare`), in order;
// `hooks.fragmentStarting` gets the number of fragments begun by all workers and the end of
// the earliest fragment being spoken. Stop ends every worker after its current fragment and
// keeps the parts up to the first one that was cut short.
RecordOutcome RecordWithWorkers(speech::SpVoice& voice, const std::string& text,
                                const std::filesystem::path& wav, const RecordSettings& settings,
                                int acNumber, const std::string& allParam,
                                const std::filesystem::path& programDir, const RecordHooks& hooks,
                                const std::function<void(bool)>& converting, int workers,
                                const std::filesystem::path& workerProgram);

// The worker's side ("vocalix-cli worker"): reads its share and the voice from `in`, records,
// and reports on `out`. SIGTERM asks it to stop after the current fragment. Exit status.
int RunRecordingWorker(std::istream& in, std::ostream& out,
                       const std::filesystem::path& programDir);

} // namespace vocalix::audio
