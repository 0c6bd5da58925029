// What opening the vault costs with the parameters a new vault gets here:
// Argon2id at 64 MiB, calibrated to about a second, then the ten pages
// read. vaultSave is a save after that, which reuses the derived key.
#include "vault/VaultPages.h"

#include <benchmark/benchmark.h>

namespace {

const QString Password = QStringLiteral("correct horse battery staple");

VaultPageSet fullPages()
{
    VaultPageSet pages;
    for (int page = 0; page < VaultPageCount; ++page) {
        for (int row = 0; row < VaultRowCount; ++row)
            pages[page][row] = {QStringLiteral("Konto %1").arg(row), QStringLiteral("name%1").arg(page),
                                QStringLiteral("pw-%1-%2").arg(page).arg(row)};
    }
    return pages;
}

const Argon2Parameters &calibrated()
{
    static const Argon2Parameters parameters = calibratedArgon2();
    return parameters;
}

const QByteArray &vaultFile()
{
    static const QByteArray file = KdbxFile::write(
        VaultPages::create(fullPages(), QDateTime::currentDateTimeUtc()), KdbxKey::create(Password, calibrated()));
    return file;
}

void vaultUnlock(benchmark::State &state)
{
    const QByteArray &file = vaultFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(VaultPages::read(KdbxFile::read(file, Password).database));
    state.counters["argon2_iterations"] = double(calibrated().iterations);
    state.counters["lanes"] = calibrated().parallelism;
}

void vaultSave(benchmark::State &state)
{
    KdbxFile::Opened opened = KdbxFile::read(vaultFile(), Password);
    for (auto _ : state) {
        VaultPages::write(opened.database, fullPages(), QDateTime::currentDateTimeUtc());
        benchmark::DoNotOptimize(KdbxFile::write(opened.database, opened.key));
    }
}

} // namespace

BENCHMARK(vaultUnlock)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(vaultSave)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
