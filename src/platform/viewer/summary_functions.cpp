// Summary functions of the formula language: totals over all records or a group's records
// (through the scope) or over an array or range, the percentages of a group's total in the
// grand total, the N-th values, and statistics of pairs of values.
#include <algorithm>
#include <cmath>

#include "platform/viewer/evaluator_internal.h"

namespace viewer::detail {

using designer::FormulaNode;
using designer::FormulaNodeKind;

namespace {

Value Aggregate(const std::string& function, std::vector<Value> values);

// Summary functions: over an array or range value, else through the scope.
Value SummaryCall(Evaluator& ev, const FormulaNode& call) {
    const FormulaNode& expr = Arg(call, 0);
    if (expr.isArray || expr.kind == FormulaNodeKind::Array) {
        Value a = ev.Need(expr);
        if (a.kind != ValueKind::Array) Fail("An array is required here.");
        return Aggregate(call.text, *a.items);
    }
    if (expr.isRange || expr.kind == FormulaNodeKind::Range) {
        Value r = ev.Need(expr);
        return Aggregate(call.text, *r.items);
    }
    const FormulaNode* group = Has(call, 1) ? &Arg(call, 1) : nullptr;
    std::string condition = Has(call, 2) ? ev.NeedString(Arg(call, 2)) : std::string();
    return ev.Scope().Summary(call.text, expr, group, condition);
}

// N-th largest, smallest, most frequent: (N, field [, group]).
Value NthCall(Evaluator& ev, const FormulaNode& call) {
    double n = ev.NeedNumber(Arg(call, 0));
    const FormulaNode* group = Has(call, 2) ? &Arg(call, 2) : nullptr;
    std::string condition = Has(call, 3) ? ev.NeedString(Arg(call, 3)) : std::string();
    Value all = ev.Scope().Summary("Values", Arg(call, 1), group, condition);
    if (all.kind != ValueKind::Array) return Value::Null();
    std::vector<Value> v = *all.items;
    if (call.text == "NthMostFrequent") {
        std::vector<std::pair<long, Value>> counts;
        std::sort(v.begin(), v.end(), [](const Value& a, const Value& b) { return Compare(a, b) < 0; });
        for (size_t i = 0; i < v.size();) {
            size_t j = i;
            while (j < v.size() && Equal(v[i], v[j])) ++j;
            counts.push_back({static_cast<long>(j - i), v[i]});
            i = j;
        }
        std::stable_sort(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.first > b.first; });
        if (n < 1 || n > static_cast<double>(counts.size())) return Value::Null();
        return counts[static_cast<size_t>(n) - 1].second;
    }
    std::sort(v.begin(), v.end(), [](const Value& a, const Value& b) { return Compare(a, b) < 0; });
    v.erase(std::unique(v.begin(), v.end(), [](const Value& a, const Value& b) { return Equal(a, b); }),
            v.end());
    if (n < 1 || n > static_cast<double>(v.size())) return Value::Null();
    size_t k = static_cast<size_t>(n) - 1;
    return call.text == "NthLargest" ? v[v.size() - 1 - k] : v[k];
}

// The value of function (as the scope names it) over the records of the group named by the
// argument at groupAt and its condition after it, or over all records when there is none.
Value GroupSummary(Evaluator& ev, const FormulaNode& call, const std::string& function,
                   const FormulaNode& field, size_t groupAt) {
    const FormulaNode* group = Has(call, groupAt) ? &Arg(call, groupAt) : nullptr;
    const std::string condition =
        Has(call, groupAt + 1) ? ev.NeedString(Arg(call, groupAt + 1)) : std::string();
    return ev.Scope().Summary(function, field, group, condition);
}

// PercentOfSum, PercentOfAverage, ...: (field, group field [, condition]), the summary of the
// group's records as a percentage of the summary of all records.
Value PercentOfCall(Evaluator& ev, const FormulaNode& call) {
    const std::string function = call.text.substr(std::string("PercentOf").size());
    const Value part = GroupSummary(ev, call, function, Arg(call, 0), 1);
    const Value whole = ev.Scope().Summary(function, Arg(call, 0), nullptr, "");
    if (!part.IsNumeric() || !whole.IsNumeric()) return Value::Null();
    if (whole.number == 0) Fail("Division by zero.");
    return Value::Number(part.number / whole.number * 100);
}

// The pairs of numbers of two expressions at the same records, a pair with a Null left out.
// The scope gives "Rows": every record's value, Null included, so the two lists stand in step.
std::vector<std::pair<double, double>> Pairs(Evaluator& ev, const FormulaNode& call, size_t first) {
    const Value xs = GroupSummary(ev, call, "Rows", Arg(call, first), first + 2);
    const Value ys = GroupSummary(ev, call, "Rows", Arg(call, first + 1), first + 2);
    std::vector<std::pair<double, double>> out;
    if (xs.kind != ValueKind::Array || ys.kind != ValueKind::Array) return out;
    for (size_t i = 0; i < xs.items->size() && i < ys.items->size(); ++i) {
        const Value& x = (*xs.items)[i];
        const Value& y = (*ys.items)[i];
        if (x.IsNull() || y.IsNull()) continue;
        if (!x.IsNumeric() || !y.IsNumeric()) Fail("A number or currency amount is required here.");
        out.emplace_back(x.number, y.number);
    }
    return out;
}

// Correlation (Pearson's), Covariance (of the population) and WeightedAverage (the second
// field weighing the first): (field, field [, group field [, condition]]).
Value PairCall(Evaluator& ev, const FormulaNode& call) {
    const auto pairs = Pairs(ev, call, 0);
    if (pairs.empty()) return Value::Null();
    const double n = static_cast<double>(pairs.size());
    if (call.text == "WeightedAverage") {
        double sum = 0, weights = 0;
        for (const auto& [x, w] : pairs) {
            sum += x * w;
            weights += w;
        }
        if (weights == 0) Fail("Division by zero.");
        return Value::Number(sum / weights);
    }
    double mx = 0, my = 0;
    for (const auto& [x, y] : pairs) {
        mx += x / n;
        my += y / n;
    }
    double sxy = 0, sxx = 0, syy = 0;
    for (const auto& [x, y] : pairs) {
        sxy += (x - mx) * (y - my);
        sxx += (x - mx) * (x - mx);
        syy += (y - my) * (y - my);
    }
    if (call.text == "Covariance") return Value::Number(sxy / n);
    if (sxx == 0 || syy == 0) return Value::Null();
    return Value::Number(sxy / std::sqrt(sxx * syy));
}

// PthPercentile(P, field [, group field [, condition]]): the value below which P percent of
// the values lie, between two values in proportion.
Value PercentileCall(Evaluator& ev, const FormulaNode& call) {
    const double p = ev.NeedNumber(Arg(call, 0));
    if (p < 0 || p > 100) Fail("A number between 0 and 100 is required here.");
    const Value all = GroupSummary(ev, call, "Values", Arg(call, 1), 2);
    if (all.kind != ValueKind::Array || all.items->empty()) return Value::Null();
    std::vector<double> v;
    for (const Value& x : *all.items) {
        if (!x.IsNumeric()) Fail("A number or currency amount is required here.");
        v.push_back(x.number);
    }
    std::sort(v.begin(), v.end());
    const double rank = p / 100 * static_cast<double>(v.size() - 1);
    const auto below = static_cast<size_t>(std::floor(rank));
    const size_t above = std::min(below + 1, v.size() - 1);
    return Value::Number(v[below] + (rank - std::floor(rank)) * (v[above] - v[below]));
}

Value Aggregate(const std::string& function, std::vector<Value> values) {
    std::vector<Value> present;
    for (Value& v : values)
        if (!v.IsNull()) present.push_back(std::move(v));
    if (function == "Count") return Value::Number(static_cast<double>(present.size()));
    if (function == "DistinctCount") {
        std::sort(present.begin(), present.end(),
                  [](const Value& a, const Value& b) { return Compare(a, b) < 0; });
        size_t n = 0;
        for (size_t i = 0; i < present.size(); ++i)
            if (i == 0 || !Equal(present[i], present[i - 1])) ++n;
        return Value::Number(static_cast<double>(n));
    }
    if (function == "Maximum" || function == "Minimum") {
        if (present.empty()) return Value::Null();
        Value best = present[0];
        for (const Value& v : present) {
            int c = Compare(v, best);
            if ((function == "Maximum" && c > 0) || (function == "Minimum" && c < 0)) best = v;
        }
        return best;
    }
    if (function == "Mode") {
        if (present.empty()) return Value::Null();
        std::sort(present.begin(), present.end(),
                  [](const Value& a, const Value& b) { return Compare(a, b) < 0; });
        Value best = present[0];
        size_t bestCount = 0;
        for (size_t i = 0; i < present.size();) {
            size_t j = i;
            while (j < present.size() && Equal(present[i], present[j])) ++j;
            if (j - i > bestCount) {
                bestCount = j - i;
                best = present[i];
            }
            i = j;
        }
        return best;
    }
    bool currency = false;
    std::vector<double> nums;
    for (const Value& v : present) {
        if (!v.IsNumeric()) Fail("A number or currency amount is required here.");
        currency = currency || v.kind == ValueKind::Currency;
        nums.push_back(v.number);
    }
    auto result = [&](double d) { return currency ? Value::Currency(d) : Value::Number(d); };
    double sum = 0;
    for (double d : nums) sum += d;
    if (function == "Sum") return result(sum);
    if (nums.empty()) return Value::Null();
    double n = static_cast<double>(nums.size());
    double mean = sum / n;
    if (function == "Average") return result(mean);
    if (function == "Median") {
        std::sort(nums.begin(), nums.end());
        size_t k = nums.size() / 2;
        return result(nums.size() % 2 ? nums[k] : (nums[k - 1] + nums[k]) / 2);
    }
    double squares = 0;
    for (double d : nums) squares += (d - mean) * (d - mean);
    bool population = function.rfind("Population", 0) == 0;
    if (!population && nums.size() < 2) return Value::Null();
    double variance = squares / (population ? n : n - 1);
    if (function == "Variance" || function == "PopulationVariance") return Value::Number(variance);
    return Value::Number(std::sqrt(variance));
}

}  // namespace

void AddSummaryFunctions(Implementations& t) {
    for (const char* name : {"Sum", "Average", "Maximum", "Minimum", "Count", "DistinctCount", "StdDev",
                             "PopulationStdDev", "Variance", "PopulationVariance", "Median", "Mode"})
        t[name] = SummaryCall;
    for (const char* name : {"NthLargest", "NthSmallest", "NthMostFrequent"}) t[name] = NthCall;
    for (const char* name : {"PercentOfSum", "PercentOfAverage", "PercentOfCount", "PercentOfDistinctCount",
                             "PercentOfMaximum", "PercentOfMinimum"})
        t[name] = PercentOfCall;
    for (const char* name : {"Correlation", "Covariance", "WeightedAverage"}) t[name] = PairCall;
    t["PthPercentile"] = PercentileCall;
}

Value AggregateValues(const std::string& function, std::vector<Value> values) {
    return Aggregate(function, std::move(values));
}

}  // namespace viewer::detail
