// Makes the setup projects of the start-up benchmark: a copy of a base
// project (the demo) with generated files added, so that `skinsetup build`
// turns it into a setup with a large payload.
//
//   startup_project BASE OUT [--mib=M] [--files=N] [--addfile]
//
// BASE "-" starts from an empty folder.
// --mib=0 copies the base alone. Otherwise N files of M MiB in all are added:
// one text of a quarter of M and one incompressible file of a sixth of M (the
// large entries), the rest shared by text-like files (four in five) and
// incompressible ones; nine in ten lie at the top of the payload, the others
// in Additional and in a nested folder of it (Additional\help). With
// --addfile each generated file also gets an Addfile line in the base's
// Setup.ini (before its first one), so that the setup installs it. The same
// arguments give the same bytes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_payload.h"

namespace {

namespace stdfs = std::filesystem;
using zub::bench::Noise;
using zub::bench::TextLike;

void Write(const stdfs::path& path, const std::vector<unsigned char>& data) {
    stdfs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The generated files by their paths in the project ("Additional\help\x.txt").
std::vector<std::string> Generate(const stdfs::path& out, double mib, int files) {
    const double total = mib * 1024 * 1024;
    const size_t bigText = size_t(total / 4), bigNoise = size_t(total / 6);
    Write(out / "big_text.txt", TextLike(bigText, 1));
    Write(out / "big_noise.bin", Noise(bigNoise, 2));
    std::vector<std::string> made = {"big_text.txt", "big_noise.bin"};
    const int rest = files - 2;
    const double left = total - double(bigText + bigNoise);
    // Sizes vary from a half to one and a half times the mean, so they add up to `left`.
    const double mean = left / rest;
    for (int i = 0; i < rest; ++i) {
        const size_t size = size_t(mean * (0.5 + double((i * 7919) % rest) / rest));
        const bool noise = i % 5 == 4;
        const std::string name = (noise ? "data" : "text") + std::to_string(i) + (noise ? ".bin" : ".txt");
        stdfs::path folder = out;
        std::string entry = name;
        if (i % 10 == 8) folder = out / "Additional", entry = "Additional\\" + name;
        if (i % 20 == 19) folder = out / "Additional" / "help", entry = "Additional\\help\\" + name;
        Write(folder / name, noise ? Noise(size, 1000u + unsigned(i)) : TextLike(size, 1000u + unsigned(i)));
        made.push_back(entry);
    }
    return made;
}

// Puts an Addfile line for each file before the first Addfile line of the
// project's Setup.ini (at its end when it has none).
void AddFileLines(const stdfs::path& project, const std::vector<std::string>& files) {
    const stdfs::path ini = project / "Setup.ini";
    std::ifstream in(ini, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + ini.string());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string lines;
    for (const std::string& file : files) lines += "Addfile=" + file + "\r\n";
    const size_t at = text.find("Addfile=");
    text.insert(at == std::string::npos ? text.size() : at, lines);
    Write(ini, std::vector<unsigned char>(text.begin(), text.end()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_project BASE OUT [--mib=M] [--files=N] [--addfile]\n");
        return 2;
    }
    double mib = 97.9;
    int files = 502;
    bool addfile = false;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--addfile") addfile = true;
        else if (arg.rfind("--mib=", 0) == 0) mib = std::atof(arg.c_str() + 6);
        else if (arg.rfind("--files=", 0) == 0) files = std::atoi(arg.c_str() + 8);
        else {
            std::fprintf(stderr, "unknown option %s\n", arg.c_str());
            return 2;
        }
    }
    try {
        const stdfs::path out = argv[2];
        stdfs::remove_all(out);
        if (std::string(argv[1]) == "-")
            stdfs::create_directories(out);
        else
            stdfs::copy(argv[1], out, stdfs::copy_options::recursive);
        if (mib > 0 && files >= 3) {
            const std::vector<std::string> made = Generate(out, mib, files);
            if (addfile) AddFileLines(out, made);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "startup_project: %s\n", e.what());
        return 1;
    }
    return 0;
}
