// Whole renders with their files, as genart does them, beside a literal port of the same work:
// the step-by-step sweep on one thread, the caption, Qt's PNG writer (every row filter tried, on
// a copy of the image that carries the text) and the same durable file writing.
// Posters 8x and 16x, a batch of 100 pictures, and the whole `genart render` process.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>

#include "caption/caption_line.h"
#include "command_line/render_command.h"
#include "files/output_files.h"
#include "platform/qt/image_surface.h"
#include "platform/vector_state.h"
#include "session/session_on.h"

extern char** environ;

namespace {

using namespace genart;

const LocalMoment kMoment{2026, 12, 8, 12, 0, 0};

// Where the benchmarks' files go; removed at the end.
const QTemporaryDir& scratch()
{
    static const QTemporaryDir folder;
    return folder;
}

std::string scratchPath(const std::string& name)
{
    return scratch().filePath(QString::fromStdString(name)).toStdString();
}

// The picture `genart render --seed 1` draws, as its recipe.
Recipe seedOnePicture()
{
    SessionOn<ImageSurface> drawn(std::make_shared<FixedClock>(2026, 12, 8, 12, 0, 0));
    return drawn.play(1).session.recipe();
}

QByteArray qtPng(const QImage& image, const std::string& recipe)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage withText = image;
    withText.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(recipe));
    QImageWriter(&buffer, "png").write(withText);
    return bytes;
}

void writeFile(const std::string& path, const QByteArray& bytes, benchmark::State& state)
{
    OutputFiles files(true, newRunToken());
    std::string failure = files.stage(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (failure.empty())
        failure = files.place();
    if (failure.empty())
        failure = files.finish();
    if (!failure.empty())
        state.SkipWithError(failure.c_str());
}

RenderOptions renderOptions()
{
    RenderOptions options;
    options.seed = 1;
    options.time = kMoment;
    options.force = true;
    options.quiet = true;
    return options;
}

void render(const RenderOptions& options, benchmark::State& state)
{
    std::ostringstream errors;
    if (runRender(options, errors) != 0)
        state.SkipWithError(errors.str().c_str());
}

// genart render --seed 1 --scale S --out poster.png
void BM_PosterWithPng(benchmark::State& state)
{
    RenderOptions options = renderOptions();
    options.scale = static_cast<int>(state.range(0));
    options.out = scratchPath("poster.png");
    for (auto _ : state)
        render(options, state);
}
BENCHMARK(BM_PosterWithPng)->ArgName("scale")->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same poster, literally: step by step, Qt's PNG writer.
void BM_PosterWithPngLiteralPort(benchmark::State& state)
{
    const int scale = static_cast<int>(state.range(0));
    const Recipe recipe = seedOnePicture();
    const std::string text = recipeText(recipe);
    const std::string path = scratchPath("poster-literal.png");
    for (auto _ : state) {
        GenerationState generation;
        setFixedState(generation);
        ImageSurface strip(kStripWidth, kStripHeight);
        paintPalette(recipe.palette, generation, strip);
        applyRecipe(recipe, generation);
        ImageSurface picture(kPictureWidth * scale, kPictureHeight * scale);
        TwisterRandom unused;
        FixedClock clock(2026, 12, 8, 12, 0, 0);
        ImageGenerator generator(generation, unused, clock, picture, strip);
        clearUpperVectorState(); // as the fast sweep does, so that the maths runs at full speed
        generator.RenderPoster(scale);
        PrintCaption(generation.texts, picture, scale);
        writeFile(path, qtPng(picture.image(), text), state);
    }
}
BENCHMARK(BM_PosterWithPngLiteralPort)
    ->ArgName("scale")
    ->Arg(8)
    ->Arg(16)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// genart render --seed 1 --count 100 --out-dir batch/: start-up's picture and 99 presses of
// new img / new palette, each written to its file.
void BM_Batch100WithFiles(benchmark::State& state)
{
    RenderOptions options = renderOptions();
    options.count = 100;
    int run = 0;
    for (auto _ : state) {
        options.outDir = scratchPath("batch-" + std::to_string(run++));
        render(options, state);
        state.PauseTiming();
        QDir(QString::fromStdString(options.outDir)).removeRecursively();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Batch100WithFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same work, literally: a new palette, the parameters, the step-by-step sweep and the
// caption for each picture, then Qt's PNG writer and the file.
void BM_Batch100WithFilesLiteralPort(benchmark::State& state)
{
    int run = 0;
    for (auto _ : state) {
        TwisterRandom random(1);
        FixedClock clock(2026, 12, 8, 12, 0, 0);
        SessionOn<ImageSurface> drawn(random, clock);
        PictureSession& session = drawn.session;
        ImageSurface& picture = drawn.picture;
        setFixedState(session.state());
        const QString folder = QString::fromStdString(scratchPath("literal-" + std::to_string(run++)));
        QDir().mkpath(folder);
        for (int n = 0; n < 100; ++n) {
            session.NewPalette();
            session.generator().DrawParameters();
            const std::string text = recipeText(recipeOf(session.state(), session.palette()));
            clearUpperVectorState();
            session.generator().RenderImage();
            PrintCaption(session.state().texts, picture);
            writeFile(QDir(folder).filePath(QStringLiteral("%1.png").arg(n)).toStdString(),
                      qtPng(picture.image(), text), state);
        }
        state.PauseTiming();
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Batch100WithFilesLiteralPort)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole process, from exec to exit: genart render --seed 1 --out x.png. With
// GENART_BASELINE=<another genart> the same for that program, side by side.
void spawnRender(benchmark::State& state, const char* program)
{
    const std::string out = scratchPath("process.png");
    std::vector<std::string> words{program,  "render", "--seed", "1",       "--time",
                                   "2026-12-08T12:00:00", "--out",  out,      "--force", "--quiet"};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (::posix_spawn(&child, program, nullptr, nullptr, argv.data(), environ) != 0
            || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("genart render failed");
            return;
        }
    }
}

void BM_WholeProcess(benchmark::State& state)
{
    spawnRender(state, GENART_BINARY);
}
BENCHMARK(BM_WholeProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WholeProcessBaseline(benchmark::State& state)
{
    const char* baseline = std::getenv("GENART_BASELINE");
    if (!baseline || !*baseline) {
        state.SkipWithError("set GENART_BASELINE to another genart program to compare with");
        return;
    }
    spawnRender(state, baseline);
}
BENCHMARK(BM_WholeProcessBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
