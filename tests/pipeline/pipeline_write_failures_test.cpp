// Whole runs whose files cannot all be written: a limit on the size of the
// files a process may write, outputs on a full device or on one that reads
// back endless zeros, an output that cannot be opened, and names too long
// for their fields.  Each run must end with a status that says so, and each
// file it leaves behind must read back whole with the system's own readers.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "output/str_read.h"
#include "pipeline_fixture.h"

namespace {

namespace fs = std::filesystem;
using pipetest::data;
using pipetest::Options;
using pipetest::Outcome;

bool exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

Options on(const std::string& model) {
  Options o;
  o.in = data(model);
  return o;
}

// The run in a child process, so that a limit on the files it writes (and
// a run that does not end) stay there: a write past `limit` bytes fails
// with an error instead of the signal, and a child still running after a
// minute is ended and counted as a hang.  `limit` 0 sets no limit.  The
// child's standard output goes to a pipe, which the limit does not hold
// for, and ends with a line of the status and the stop.
Outcome run_apart(const Options& o, const std::string& dir, rlim_t limit = 0) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    dup2(fds[1], 1);
    alarm(60);
    signal(SIGXFSZ, SIG_IGN);
    if (limit > 0) {
      rlimit rl{};
      getrlimit(RLIMIT_FSIZE, &rl);
      rl.rlim_cur = limit;
      setrlimit(RLIMIT_FSIZE, &rl);
    }
    Options a = o;
    int32_t mdoc = a.mdoc, ierr = -1;
    char new_lib = 'N', fstop = 'N';
    const float cell[6] = {0, 0, 0, 0, 0, 0};
    const int stop = run_end_status([&] {
      tessran_(mdoc, a.in, dir + "/out", a.lib2, a.cutoff, a.dmin, a.conn, a.cis, a.lnk, a.chain, a.pept,
               a.check_spec, a.h, a.rflag, a.form, a.symm, a.ss, a.sugar, a.list, a.check, a.coor, a.srch, a.seg,
               a.lib_dir, "", "", "", a.prog, a.nospgr, cell, dir + "/new_lib.cif", new_lib, fstop, ierr);
    });
    rt::close_all_units();
    std::printf("\n@@ %d %d\n", ierr, stop);
    std::fflush(stdout);
    _exit(0);
  }
  close(fds[1]);
  std::string report;
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) report.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  Outcome r;
  r.after = o;
  const std::size_t mark = report.rfind("\n@@ ");
  if (!WIFEXITED(wstatus) || mark == std::string::npos) {
    r.out = "the run did not end\n" + report;
    return r;
  }
  std::istringstream tail(report.substr(mark + 4));
  tail >> r.ierr >> r.stop;
  r.out = report.substr(0, mark);
  return r;
}

bool failed(const Outcome& r) { return r.stop > 0 || (r.stop == -1 && r.ierr > 0); }

int32_t structure_read_back(const std::string& base) {
  int32_t ierr = 0;
  rt::FixedText<256> path("");
  captured([&] { read_str_(0, path.ref(), base, "str", ierr); });
  rt::close_all_units();
  return ierr;
}

// A new library reads back when a second run takes it as its second
// library and finds nothing to add.  That run is kept apart too: a run
// leaves tables behind that a later one, forked from this process, would
// start from.
void expect_library_reads_back(const std::string& library, const std::string& model) {
  TempDir again;
  Options o = on(model);
  o.lib2 = library;
  const Outcome r = run_apart(o, again.path());
  EXPECT_EQ(r.stop, -1) << r.out;
  EXPECT_FALSE(exists(again.file("new_lib.cif"))) << "the first run's library holds what the model needs\n" << r.out;
}

// Every file in dir is one the run writes and reads back whole; with a
// whole run's directory, it is that run's file.
void expect_only_whole_files(const TempDir& dir, const std::string& model, const std::string& why,
                             const TempDir* whole = nullptr) {
  for (const fs::directory_entry& e : fs::directory_iterator(dir.path())) {
    const std::string name = e.path().filename().string();
    if (e.is_symlink()) continue;
    SCOPED_TRACE(why + ": " + name);
    if (whole) {
      EXPECT_EQ(file_text(e.path().string()), file_text(whole->file(name)));
    }
    const std::string base = dir.path() + "/out";
    if (name == "out.crd") {
      EXPECT_EQ(pipetest::read_coordinates(base), 0);
    } else if (name == "out.str") {
      EXPECT_EQ(structure_read_back(base), 0);
    } else if (name == "out.rst") {
      std::vector<pipetest::Restraint> rows;
      EXPECT_TRUE(pipetest::read_restraints(base, rows));
    } else if (name == "new_lib.cif") {
      expect_library_reads_back(e.path().string(), model);
    } else if (name.ends_with(".ps")) {
      EXPECT_TRUE(file_text(e.path().string()).ends_with("%%Trailer\n%%BoundingBox:  29  49 551 781\n%%EOF\n"));
    } else {
      ADD_FAILURE() << "a file the run should not leave";
    }
  }
}

// ------------------------------------------------------------ write limit

// 1A8O writes a coordinate, structure and restraint file, a report of the
// selenomethionine it builds and a new library holding it.  Under limits
// that cut the outputs at each stage, the run fails and says so, and what
// it leaves behind is whole.
TEST(PipelineWriteFailures, WriteLimitLeavesOnlyWholeFiles) {
  const Options o = on("1A8O.pdb");
  std::uintmax_t largest = 0;
  TempDir whole_dir;
  const Outcome whole = run_apart(o, whole_dir.path());
  ASSERT_EQ(whole.stop, -1) << whole.out;
  ASSERT_EQ(whole.ierr, 0) << whole.out;
  for (const fs::directory_entry& e : fs::directory_iterator(whole_dir.path()))
    largest = std::max(largest, e.file_size());
  ASSERT_GT(largest, 20000u);
  // Every run before any file is read back here, since reading fills the
  // tables that the next run would inherit.
  const rlim_t limits[] = {200, 4096, 20000, static_cast<rlim_t>(largest - 1)};
  std::vector<std::unique_ptr<TempDir>> dirs;
  std::vector<Outcome> runs;
  for (rlim_t limit : limits) {
    dirs.push_back(std::make_unique<TempDir>());
    runs.push_back(run_apart(o, dirs.back()->path(), limit));
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const TempDir& dir = *dirs[i];
    const Outcome& r = runs[i];
    const std::string why = "limit " + std::to_string(limits[i]);
    EXPECT_TRUE(failed(r)) << why << "\n" << r.out;
    EXPECT_TRUE(r.out.find(" ERROR: output file not written whole: ") != std::string::npos ||
                r.out.find(" unfinished file removed: ") != std::string::npos)
        << why << "\n" << r.out;
    expect_only_whole_files(dir, "1A8O.pdb", why, &whole_dir);
  }
}

// ----------------------------------------------------------- full devices

// The structure file on a full device: its rows are lost in the buffer and
// show at the close, which fails the restraint stage before anything is
// read back.  The coordinate file was closed whole; the restraint file,
// not closed, is removed; the device is not.
TEST(PipelineWriteFailures, StructureFileOnAFullDeviceFailsAtItsClose) {
  TempDir dir;
  fs::create_symlink("/dev/full", dir.file("out.str"));
  const Outcome r = run_apart(on("1SSU_mod.pdb"), dir.path());
  EXPECT_EQ(r.stop, -1) << r.out;
  EXPECT_NE(r.ierr, 0) << r.out;
  EXPECT_NE(r.out.find(" ERROR: WRITE TO OUTPUT FILE /str/"), std::string::npos) << r.out;
  EXPECT_FALSE(exists(dir.file("out.rst")));
  EXPECT_TRUE(fs::is_symlink(dir.file("out.str")));
  expect_only_whole_files(dir, "1SSU_mod.pdb", "full device");
}

// The structure file on a device that takes every write and reads back
// endless zeros: the read-back takes no more than was written, so the file
// is refused, the read-back fails and the run ends with status 1.
TEST(PipelineWriteFailures, ReadBackTakesNoMoreThanWasWritten) {
  TempDir dir;
  fs::create_symlink("/dev/zero", dir.file("out.str"));
  const Outcome r = run_apart(on("1SSU_mod.pdb"), dir.path());
  ASSERT_FALSE(r.out.starts_with("the run did not end")) << r.out;
  EXPECT_EQ(r.stop, -1) << r.out;
  EXPECT_EQ(r.ierr, 1) << r.out;
  EXPECT_FALSE(exists(dir.file("out.rst"))) << "the restraint file was not finished";
  expect_only_whole_files(dir, "1SSU_mod.pdb", "zero device");
}

// The report of the built selenomethionine on a full device: its loss is
// reported and fails the run; every other file is whole.
TEST(PipelineWriteFailures, ReportOnAFullDeviceFailsTheRun) {
  TempDir dir;
  fs::create_symlink("/dev/full", dir.file("out_MSE.ps"));
  const Outcome r = run_apart(on("1A8O.pdb"), dir.path());
  EXPECT_EQ(r.stop, -1) << r.out;
  EXPECT_EQ(r.ierr, 1) << r.out;
  EXPECT_NE(r.out.find("ERROR: Unable to write Postscript file " + dir.file("out_MSE.ps")), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(" ERROR: output file not written whole: " + dir.file("out_MSE.ps")), std::string::npos)
      << r.out;
  EXPECT_TRUE(exists(dir.file("out.crd")));
  expect_only_whole_files(dir, "1A8O.pdb", "report on a full device");
}

// ------------------------------------------------- a stop on the way out

// The structure file cannot be opened (a directory holds its name): the
// suite's error path ends the run, and the coordinate file, opened just
// before, goes with it.
TEST(PipelineWriteFailures, StopAtAnOpenRemovesTheFileOpenedBefore) {
  TempDir dir;
  fs::create_directory(dir.file("out.str"));
  const Outcome r = pipetest::run(on("disordered.pdb"), dir.path());
  EXPECT_EQ(r.stop, 1) << r.out;
  EXPECT_NE(r.out.find(" Open failed: File: " + dir.file("out.str")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" ERROR: run stopped, unfinished file removed: " + dir.file("out.crd")), std::string::npos)
      << r.out;
  EXPECT_FALSE(exists(dir.file("out.crd")));
  EXPECT_FALSE(exists(dir.file("out.rst")));
}

// ---------------------------------------------------------- long names

// A name one character longer than the 256 of its field is refused before
// anything is read or written, never cut to another name.
TEST(PipelineWriteFailures, NameLongerThanItsFieldIsRefused) {
  TempDir dir;
  const std::string deep = dir.path() + "/" + std::string(120, 'd');
  fs::create_directories(deep);
  const std::string library = deep + "/" + std::string(256 - deep.size(), 'l');
  ASSERT_EQ(library.size(), 257u);
  Options o = on("1SSU_mod.pdb");
  Outcome r;
  r.stop = run_end_status(
      [&] {
        char new_lib = 'N', fstop = 'N';
        const float cell[6] = {0, 0, 0, 0, 0, 0};
        int32_t mdoc = o.mdoc;
        tessran_(mdoc, o.in, dir.path() + "/out", "", 0.0f, o.dmin, o.conn, o.cis, o.lnk, o.chain, o.pept,
                 o.check_spec, o.h, o.rflag, o.form, o.symm, o.ss, o.sugar, o.list, o.check, o.coor, o.srch, o.seg,
                 o.lib_dir, "", "", "", o.prog, o.nospgr, cell, library, new_lib, fstop, r.ierr);
      },
      r.out);
  rt::close_all_units();
  EXPECT_EQ(r.stop, -1) << r.out;
  EXPECT_EQ(r.ierr, 1);
  EXPECT_NE(r.out.find(" ERROR: file name longer than 256 characters: " + library), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(" I am reading PDB_file"), std::string::npos) << r.out;
  EXPECT_TRUE(fs::is_empty(deep));
  EXPECT_FALSE(exists(dir.file("out.crd")));
}

// The outputs' base name fits, the coordinate file's name with its
// extension does not: that file is refused with the name in full, and no
// file is written under the name cut to 256 characters.
TEST(PipelineWriteFailures, JoinedNameLongerThanItsFieldIsRefused) {
  TempDir dir;
  const std::string deep = dir.path() + "/" + std::string(120, 'd');
  fs::create_directories(deep);
  Options o = on("disordered.pdb");
  o.out_base = deep + "/" + std::string(256 - 3 - deep.size() - 1, 'o');
  const std::string crd = o.out_base + ".crd";
  ASSERT_EQ(crd.size(), 257u);
  const Outcome r = pipetest::run(o, dir.path());
  EXPECT_TRUE(failed(r)) << r.out;
  EXPECT_NE(r.out.find(" ERROR: file name longer than 256 characters: " + crd), std::string::npos) << r.out;
  EXPECT_FALSE(exists(crd.substr(0, 256))) << "written under the cut name";
  EXPECT_FALSE(exists(o.out_base + ".rst"));
}

}  // namespace
