// Running the tool in tests: in-process through runCli, or as the built kvn350 executable.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace kvn::cli::test {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline RunResult runInProcess(const std::vector<std::string>& args, const std::string& input = {},
                              bool terminal = false) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    CommandIo io{out, err, in, terminal, terminal};
    RunResult r;
    r.status = runCli(args, io);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// Runs the built executable (its path comes from the build) with stdin closed.
inline RunResult runBinary(const std::vector<std::string>& args) {
    QProcess process;
    QStringList list;
    for (const std::string& a : args) {
        list << QString::fromStdString(a);
    }
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(KVN350_BINARY), list);
    RunResult r;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        r.err = "kvn350 did not finish normally";
        return r;
    }
    r.status = process.exitCode();
    r.out = process.readAllStandardOutput().toStdString();
    r.err = process.readAllStandardError().toStdString();
    return r;
}

// A folder of its own for a test's files, removed with it.
struct TestFiles {
    QTemporaryDir dir;
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    // Writes `text` as the file `name` and returns its path.
    std::string write(const char* name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }
};

}  // namespace kvn::cli::test
