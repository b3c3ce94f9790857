#include "statistics/lockstep.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// What a search asked for, and the answer once the round is made.
struct Request {
    const std::vector<ConstantValues>* points = nullptr;
    std::vector<Evaluation> results;
    bool answered = false;
};

struct Round {
    std::mutex mutex;
    std::condition_variable asked;     // a search asked, or ended
    std::condition_variable answered;  // the round is made
    int running = 0;                   // searches not yet ended
    std::vector<Request*> waiting;     // one per search that asked
};

// The round of the searches this thread belongs to, or null.
thread_local Round* current = nullptr;

// Every request of the round, evaluated together.
void answer(Round& round) {
    std::vector<ConstantValues> all;
    for (const Request* r : round.waiting)
        all.insert(all.end(), r->points->begin(), r->points->end());
    const std::vector<Evaluation> results = evaluate_constants(all);
    std::size_t next = 0;
    for (Request* r : round.waiting) {
        r->results.assign(results.begin() + next, results.begin() + next + r->points->size());
        next += r->points->size();
        r->answered = true;
    }
    round.waiting.clear();
}

// A search's evaluations: asked for, then waited for until the round is made.
std::vector<Evaluation> evaluate_in_lockstep(const std::vector<ConstantValues>& points) {
    Round& round = *current;
    Request request;
    request.points = &points;
    std::unique_lock<std::mutex> lock(round.mutex);
    round.waiting.push_back(&request);
    round.asked.notify_one();
    round.answered.wait(lock, [&request] { return request.answered; });
    return std::move(request.results);
}

}  // namespace

void run_in_lockstep(const std::vector<std::function<void()>>& searches) {
    if (searches.size() < 2 || current != nullptr) {
        for (const auto& search : searches)
            search();
        return;
    }
    Round round;
    round.running = static_cast<int>(searches.size());
    std::vector<std::exception_ptr> failed(searches.size());
    std::vector<std::thread> threads;
    try {
        for (std::size_t s = 0; s < searches.size(); ++s)
            threads.emplace_back([&round, &searches, &failed, s] {
                current = &round;
                route_evaluations(evaluate_in_lockstep);
                try {
                    searches[s]();
                } catch (...) {
                    failed[s] = std::current_exception();
                }
                route_evaluations(nullptr);
                current = nullptr;
                std::lock_guard<std::mutex> lock(round.mutex);
                round.running -= 1;
                round.asked.notify_one();
            });
    } catch (const std::system_error&) {
        // No thread to be had: the searches not started run alone, once the others are done.
        std::lock_guard<std::mutex> lock(round.mutex);
        round.running -= static_cast<int>(searches.size() - threads.size());
    }
    {
        std::unique_lock<std::mutex> lock(round.mutex);
        for (;;) {
            // A round is made once every search still running has asked.
            round.asked.wait(
                lock, [&round] { return static_cast<int>(round.waiting.size()) == round.running; });
            if (round.running == 0) break;
            answer(round);
            round.answered.notify_all();
        }
    }
    for (std::thread& t : threads)
        t.join();
    for (std::size_t s = threads.size(); s < searches.size(); ++s) {
        try {
            searches[s]();
        } catch (...) {
            failed[s] = std::current_exception();
        }
    }
    for (const std::exception_ptr& e : failed)
        if (e) std::rethrow_exception(e);
}
