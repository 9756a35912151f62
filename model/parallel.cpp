// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sweeps' thread pool, and the units of a sweep run at once and checked.
#include "model/parallel.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <numeric>
#include <thread>
#include <utility>

#include "model/solver.h"
#include "model/valve.h"

namespace brevold {

namespace {

constexpr int kMaxThreads = 64;

std::atomic<int> gThreadsSet{0};
std::atomic<long> gRunAgain{0};

int ThreadsFromEnvironment() {
  if (const char* e = std::getenv("BREVOLD_THREADS")) {
    char* end = nullptr;
    const long n = std::strtol(e, &end, 10);
    if (end != e && *end == '\0' && n >= 1) return static_cast<int>(std::min<long>(n, kMaxThreads));
  }
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
}

// Helper threads started on first use and kept for the life of the program;
// one sweep at a time has them, the calling thread working beside them. A
// helper joins a sweep only while it is open: the caller never waits for a
// helper that has not woken by the time the work is all taken.
class Pool {
 public:
  ~Pool() {
    {
      std::lock_guard<std::mutex> lk(m_);
      stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  // False, having run nothing, when another sweep has the pool.
  bool Run(int count, int threads, const std::function<void(int, int)>& f) {
    std::unique_lock<std::mutex> call(callMutex_, std::try_to_lock);
    if (!call.owns_lock()) return false;
    {
      std::lock_guard<std::mutex> lk(m_);
      helpers_ = threads - 1;
      while (static_cast<int>(threads_.size()) < helpers_) {
        const int id = static_cast<int>(threads_.size());
        threads_.emplace_back([this, id] { Work(id); });
      }
      job_ = &f;
      count_ = count;
      next_.store(0);
      open_ = true;
      active_ = 0;
      error_ = nullptr;
      std::fegetenv(&env_);
      ++generation_;
    }
    wake_.notify_all();
    Drain(0);
    std::unique_lock<std::mutex> lk(m_);
    open_ = false;
    done_.wait(lk, [this] { return active_ == 0; });
    job_ = nullptr;
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return true;
  }

 private:
  void Drain(int slot) {
    for (int i; (i = next_.fetch_add(1)) < count_;) {
      try {
        (*job_)(slot, i);
      } catch (...) {
        std::lock_guard<std::mutex> lk(m_);
        if (!error_) error_ = std::current_exception();
        next_.store(count_);  // the others stop taking work
      }
    }
  }

  void Work(int id) {
    std::uint64_t seen = 0;
    std::unique_lock<std::mutex> lk(m_);
    for (;;) {
      wake_.wait(lk, [&] { return stop_ || generation_ != seen; });
      if (stop_) return;
      seen = generation_;
      if (!open_ || id >= helpers_) continue;
      ++active_;
      const std::fenv_t env = env_;
      lk.unlock();
      std::fesetenv(&env);
      Drain(id + 1);
      lk.lock();
      if (--active_ == 0) done_.notify_one();
    }
  }

  std::mutex callMutex_;
  std::mutex m_;
  std::condition_variable wake_, done_;
  std::vector<std::thread> threads_;
  const std::function<void(int, int)>* job_ = nullptr;
  int count_ = 0;
  std::atomic<int> next_{0};
  int helpers_ = 0, active_ = 0;
  bool open_ = false;
  std::uint64_t generation_ = 0;
  std::exception_ptr error_;
  std::fenv_t env_{};
  bool stop_ = false;
};

Pool& ThePool() {
  static Pool pool;
  return pool;
}

template <class T>
bool SameBits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Unit starts: nothing raised yet. The model never writes a status of 0.
void ClearRaised(Mechanism& m) {
  m.ErrFlag = 0;
  m.CalcStatus = 0;
}

}  // namespace

int SweepThreads() {
  if (const int n = gThreadsSet.load()) return n;
  static const int fromEnvironment = ThreadsFromEnvironment();
  return fromEnvironment;
}

void SetSweepThreads(int threads) { gThreadsSet.store(std::clamp(threads, 0, kMaxThreads)); }

void SolvedState::Take(const ModelState& s) {
  mech = s.mech;
  valve = s.valve;
  frame = s.dims.frame;
}

void SolvedState::Put(ModelState& s) const {
  s.mech = mech;
  s.valve = valve;
  s.dims.frame = frame;
}

bool SameForNextSolve(const SolvedState& a, const SolvedState& b) {
  const Mechanism &x = a.mech, &y = b.mech;
  // Field by field: the flags are left out, and the padding between them is
  // no part of the state.
  return SameBits(x.PtX, y.PtX) && SameBits(x.PtY, y.PtY) && SameBits(x.DrvAngle, y.DrvAngle) &&
         SameBits(x.RevArmX, y.RevArmX) && SameBits(x.LinkAng, y.LinkAng) && SameBits(x.LiftArmSgn, y.LiftArmSgn) &&
         SameBits(x.EccDiaSolved, y.EccDiaSolved) && x.BeepOnError == y.BeepOnError &&
         SameBits(x.CalcTmp, y.CalcTmp) && SameBits(x.CalcDen, y.CalcDen) && SameBits(x.CalcAng, y.CalcAng) &&
         SameBits(x.IterStep, y.IterStep) && SameBits(x.IterTol, y.IterTol) && SameBits(x.CloseDist, y.CloseDist) &&
         SameBits(a.valve, b.valve) && SameBits(a.frame, b.frame);
}

void Restore(ModelState& s, const SolvedState& recorded) {
  const std::uint8_t err = s.mech.ErrFlag;
  const char status = s.mech.CalcStatus;
  recorded.Put(s);
  if (!recorded.mech.ErrFlag) s.mech.ErrFlag = err;
  if (!recorded.mech.CalcStatus) s.mech.CalcStatus = status;
}

namespace {

// What the helpers guess from: the sweep's start, unless its sense is still
// to be found (a gear never solved, as the command line starts). The sense
// says which side of mid gear is forward, so a guess made from the wrong
// one lands every stretch on the wrong side and all of them run again; the
// start solved once as it stands has it right. Only the guesses use it: the
// stretches in order run from the true start.
SolvedState GuessBase(const ModelState& s, const SolvedState& start, bool guessing) {
  if (!guessing) return start;
  ModelState probe = s;
  Solve(probe);
  PostCalc(probe);
  if (SensePositive(probe.mech) == SensePositive(s.mech)) return start;
  SolvedState base;
  base.Take(probe);
  return base;
}

}  // namespace

// One thread runs the units in the sweep's order, each from the true end of
// the one before, as the plain sweep does; the others take units from the
// far end, each from a guess. Where the two meet, the thread in order checks
// each guessed unit in turn and takes it when its guess was the true start,
// or runs it again itself. So the sweep never takes longer than the plain
// one by more than the one unit a helper may still be running where they
// meet: if every guess is wrong, two threads cost what one does, and the
// guesses' own solves fall on the helpers.
UnitRun RunUnits(const ModelState& s, const UnitSweep& sweep, int threads) {
  const int n = std::max(0, sweep.units);
  UnitRun out;
  out.end.resize(static_cast<size_t>(n));
  threads = std::clamp(threads, 1, std::max(1, n));
  // One copy of the state a thread, and one for the sweep in order.
  std::vector<ModelState> scratch(static_cast<size_t>(threads) + 1, s);
  SolvedState first;
  first.Take(s);
  const SolvedState guessFrom = GuessBase(s, first, threads > 1 && n > 1);
  std::vector<SolvedState> start(static_cast<size_t>(n));
  auto runFrom = [&](ModelState& w, int u) {
    ClearRaised(w.mech);
    start[static_cast<size_t>(u)].Take(w);
    sweep.run(w, u);
    out.end[static_cast<size_t>(u)].Take(w);
  };
  // Units [front, back) are not yet taken; a helper's unit is ready once it
  // has run (or failed) from its guess.
  std::mutex claims;
  int front = 0, back = n;
  std::unique_ptr<std::atomic<int>[]> ready(new std::atomic<int>[static_cast<size_t>(std::max(n, 1))]);
  for (int u = 0; u < n; ++u) ready[static_cast<size_t>(u)].store(0);
  enum : int { kRunning = 0, kRan = 1, kFailed = 2 };
  std::atomic<bool> inOrderTaken{false};

  auto inOrder = [&] {
    ModelState& w = scratch[static_cast<size_t>(threads)];
    first.Put(w);
    try {
      for (int u = 0; u < n; ++u) {
        bool mine;
        {
          std::lock_guard<std::mutex> lk(claims);
          mine = u < back;
          if (mine) front = u + 1;
        }
        // w stands where unit u-1 truly ended.
        if (mine) {
          runFrom(w, u);
          continue;
        }
        std::atomic<int>& r = ready[static_cast<size_t>(u)];
        r.wait(kRunning);
        if (r.load() == kRan && (u == 0 || SameForNextSolve(start[static_cast<size_t>(u)], out.end[static_cast<size_t>(u - 1)]))) {
          out.end[static_cast<size_t>(u)].Put(w);
          continue;
        }
        runFrom(w, u);
        ++out.runAgain;
      }
    } catch (...) {
      // The helpers stop taking units; those they hold finish on their own.
      std::lock_guard<std::mutex> lk(claims);
      back = front;
      throw;
    }
  };
  auto helperPart = [&](int slot) {
    ModelState& w = scratch[static_cast<size_t>(slot)];
    for (;;) {
      int u;
      {
        std::lock_guard<std::mutex> lk(claims);
        if (back <= front) return;
        u = --back;
      }
      int outcome = kRan;
      try {
        guessFrom.Put(w);
        if (u > 0) sweep.guessEnd(w, u - 1);
        runFrom(w, u);
      } catch (...) {
        // From the true start the unit may well run; the sweep in order tries it.
        outcome = kFailed;
      }
      ready[static_cast<size_t>(u)].store(outcome);
      ready[static_cast<size_t>(u)].notify_all();
    }
  };
  // Whichever thread takes the pool's first piece of work (most often the
  // caller) runs the sweep in order: it must run, and a helper may wake first.
  const std::function<void(int, int)> part = [&](int slot, int) {
    if (!inOrderTaken.exchange(true)) inOrder();
    else helperPart(slot);
  };
  if (threads <= 1 || !ThePool().Run(threads, threads, part)) {
    // On the caller alone (another sweep has the pool): each unit goes on
    // from where the one before ended, as the plain sweep does.
    ModelState& w = scratch[0];
    first.Put(w);
    for (int u = 0; u < n; ++u) runFrom(w, u);
  }
  gRunAgain += out.runAgain;
  return out;
}

UnitRun RunUnitsOn(ModelState& s, const UnitSweep& sweep, int threads) {
  if (threads > 1 && sweep.units > 1) return RunUnits(s, sweep, threads);
  for (int u = 0; u < sweep.units; ++u) sweep.run(s, u);
  return {};
}

long UnitsRunAgain() { return gRunAgain.load(); }

namespace {

// Each row cut into parts so that the units share out evenly over the
// threads (as many units as a multiple of the threads, at least two each),
// but no part shorter than eight samples.
int PartsPerRow(int rows, int samples, int threads) {
  int parts = threads / std::gcd(rows, threads);
  while (rows * parts < 2 * threads) parts *= 2;
  return std::clamp(parts, 1, std::max(1, samples / 8));
}

}  // namespace

void SweepCurves(ModelState& s, const CurveSweep& c, int threads) {
  if (c.rows <= 0) return;
  if (threads <= 1 || c.rows * c.samples <= 1) {
    for (int r = 0; r < c.rows; ++r) {
      c.setRow(s, r);
      if (c.keepRow) c.keepRow(s, r);
      for (int n = 0; n < c.samples; ++n) {
        c.solve(s, r, n);
        if (c.keepSample) c.keepSample(s, r, n);
      }
    }
    return;
  }
  const int parts = PartsPerRow(c.rows, c.samples, threads);
  auto firstSample = [&](int part) { return part * c.samples / parts; };
  UnitSweep units;
  units.units = c.rows * parts;
  units.run = [&](ModelState& w, int u) {
    const int row = u / parts, part = u % parts;
    if (part == 0) {
      c.setRow(w, row);
      if (c.keepRow) c.keepRow(w, row);
    }
    for (int n = firstSample(part); n < firstSample(part + 1); ++n) {
      c.solve(w, row, n);
      if (c.keepSample) c.keepSample(w, row, n);
    }
  };
  units.guessEnd = [&](ModelState& w, int u) {
    const int row = u / parts, last = firstSample(u % parts + 1) - 1;
    if (c.position) c.position(w, row, last);
    else c.setRow(w, row);
    c.solve(w, row, last);
  };
  const UnitRun run = RunUnits(s, units, threads);
  for (const SolvedState& end : run.end) Restore(s, end);
}

}  // namespace brevold
