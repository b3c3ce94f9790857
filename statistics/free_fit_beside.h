// The free fit made beside other work, on two cores: a child process finds the optimum, sends
// it, and works out the interval of constant 0; this process, once it asks for the result,
// works out the rest at the same optimum (the child's arithmetic is this process's, so both
// see the same numbers) and the intervals of the other constants.
#pragma once

#include <memory>

#include "statistics/child_work.h"
#include "statistics/free_fit.h"

class FreeFitBeside {
  public:
    explicit FreeFitBeside(int n);  // starts the child: call it before the other work
    FreeFit result();               // waits for what the child sends

  private:
    int n_;
    std::unique_ptr<ChildWork> child_;
};
