// A 50 MB download on loopback: the download client (file written under a temporary name and renamed)
// against `curl -o` of the same file from the same server, both at nice 19. The counter "ratio" is curl's time over
// ours (1.0 = as fast as curl); "cpu_ratio" is the same for the CPU time both spend.
#include "net/DownFileClient.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>

namespace {

constexpr size_t kFileBytes = 50u << 20;

// CPU seconds used so far by this process (all its threads) or by its waited-for children.
double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Tells when a download has ended.
class TimedClient : public CDownFileClient {
public:
    ~TimedClient() override { StopAllDownloads(); }
    void OnDownloadComplete(const std::string& url, CDownloadedBody body) override
    {
        CDownFileClient::OnDownloadComplete(url, std::move(body));
        Done(true);
    }
    void OnDownloadFailed(const std::string& url) override
    {
        CDownFileClient::OnDownloadFailed(url);
        Done(false);
    }
    bool Wait()
    {
        std::unique_lock lock(mutex_);
        signal_.wait(lock, [&] { return ended_; });
        ended_ = false;
        return ok_;
    }

private:
    void Done(bool ok)
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
        ok_ = ok;
        signal_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable signal_;
    bool ended_ = false, ok_ = false;
};

void BM_Download50MB(benchmark::State& state)
{
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        unsetenv(name);
    QTemporaryDir served, out;
    {
        std::ofstream file(served.path().toStdString() + "/big.bin", std::ios::binary);
        std::string block(1 << 20, '\0');
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = char(i * 2654435761u >> 24);
        for (size_t i = 0; i < kFileBytes / block.size(); ++i)
            file << block;
    }
    QProcess server;
    server.start("/usr/bin/python3", {KORVEL_FIXTURE_SERVER, served.path()});
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(10000)) {
        state.SkipWithError("no fixture server");
        return;
    }
    const std::string url = "http://127.0.0.1:" + server.readLine().trimmed().toStdString() + "/static/big.bin";
    const std::string curlTarget = out.path().toStdString() + "/curl.bin";
    // Downloads run at the lowest priority; curl gets the same, so a busy machine weighs on both.
    const std::string command = "nice -n 19 curl -s -f -o '" + curlTarget + "' '" + url + "'";

    TimedClient client;
    client.SetFolder(out.path().toStdString());
    using Clock = std::chrono::steady_clock;
    double ours = 0, curl = 0, oursCpu = 0, curlCpu = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        double cpu = CpuSeconds(RUSAGE_SELF);
        client.Download(url, "ours.bin");
        if (!client.Wait()) {
            state.SkipWithError("download failed");
            break;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        ours += seconds;
        oursCpu += CpuSeconds(RUSAGE_SELF) - cpu;

        state.PauseTiming();
        start = Clock::now();
        cpu = CpuSeconds(RUSAGE_CHILDREN);
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("curl failed");
            break;
        }
        curl += std::chrono::duration<double>(Clock::now() - start).count();
        curlCpu += CpuSeconds(RUSAGE_CHILDREN) - cpu;
        state.ResumeTiming();
    }
    state.counters["ours_ms"] = 1000 * ours / double(state.iterations());
    state.counters["curl_ms"] = 1000 * curl / double(state.iterations());
    state.counters["ratio"] = ours > 0 ? curl / ours : 0;
    // CPU time does not depend on what else the machine runs.
    state.counters["ours_cpu_ms"] = 1000 * oursCpu / double(state.iterations());
    state.counters["curl_cpu_ms"] = 1000 * curlCpu / double(state.iterations());
    state.counters["cpu_ratio"] = oursCpu > 0 ? curlCpu / oursCpu : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFileBytes));
    server.kill();
    server.waitForFinished(5000);
}
BENCHMARK(BM_Download50MB)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
