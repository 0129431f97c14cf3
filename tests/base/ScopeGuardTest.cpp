#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "ScopeGuard.h"

TEST(ScopeGuard, RunsOnceOnEveryExitUnlessDismissed) {
  std::string log;
  {
    ScopeGuard g([&] { log += "n"; });
  }
  EXPECT_EQ(log, "n");

  log.clear();
  EXPECT_THROW(
      {
        ScopeGuard g([&] { log += "e"; });
        throw std::runtime_error("fail");
      },
      std::runtime_error);
  EXPECT_EQ(log, "e");

  log.clear();
  {
    ScopeGuard g([&] { log += "d"; });
    g.Dismiss();
  }
  EXPECT_THROW(
      {
        ScopeGuard g([&] { log += "d"; });
        g.Dismiss();
        throw std::runtime_error("fail");
      },
      std::runtime_error);
  EXPECT_EQ(log, "");

  // A moved guard hands its duty on: the cleanup runs once, when the new owner leaves.
  log.clear();
  {
    ScopeGuard outer([&] { log += "m"; });
    {
      ScopeGuard inner(std::move(outer));
      EXPECT_EQ(log, "");
    }
    EXPECT_EQ(log, "m");
  }
  EXPECT_EQ(log, "m");
}

TEST(ScopeGuard, SeveralRunInReverseOrder) {
  std::string log;
  EXPECT_THROW(
      {
        ScopeGuard a([&] { log += "a"; });
        ScopeGuard b([&] { log += "b"; });
        ScopeGuard c([&] { log += "c"; });
        b.Dismiss();
        throw std::runtime_error("fail");
      },
      std::runtime_error);
  EXPECT_EQ(log, "ca");
}

TEST(ScopeGuard, CleanupFailureSurfacesOnNormalExitButNeverHidesTheFirstFailure) {
  EXPECT_THROW({ ScopeGuard g([] { throw std::logic_error("cleanup"); }); }, std::logic_error);

  bool ran = false;
  try {
    ScopeGuard g([&] {
      ran = true;
      throw std::logic_error("cleanup");
    });
    throw std::runtime_error("body");
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "body");
  }
  EXPECT_TRUE(ran);
}

namespace {

struct Counted {
  std::string log;
  void BeginUpdate() { log += "<"; }
  void EndUpdate() { log += ">"; }
};

}  // namespace

TEST(ScopeGuard, UpdateScopePairsBeginAndEndOnEveryExit) {
  Counted list;
  {
    UpdateScope outer(&list);
    UpdateScope inner(&list);
    list.log += "x";
  }
  EXPECT_EQ(list.log, "<<x>>");

  list.log.clear();
  EXPECT_THROW(
      {
        UpdateScope scope(&list);
        throw std::runtime_error("fail");
      },
      std::runtime_error);
  EXPECT_EQ(list.log, "<>");
}
