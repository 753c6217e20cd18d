# Reference values for the detailed results of the five tests, from R.
#
#   Rscript tools/reference/make_reference.R [output folder]
#
# Writes twosample.csv, paired.csv, correlation.csv, fourfold.csv and
# pairedtable.csv (default folder tests/stats/reference). Each row is one
# case: its inputs as the program receives them (texts; data columns as cells
# joined by "|", an empty cell between two bars), then one column per figure,
# named by the driver's key, "NA" where the figure cannot be computed.
# Numbers are written with 17 significant digits, so they read back exactly.
#
# R is needed only to regenerate these files; the unit tests read them.
# The figures come from R's own tests where R has one (t.test, var.test,
# wilcox.test, shapiro.test, cor.test, lm, chisq.test, fisher.test,
# mcnemar.test, binom.test) and otherwise from the textbook formulas written
# out below.

args <- commandArgs(trailingOnly = TRUE)
out_dir <- if (length(args) >= 1) args[1] else file.path("tests", "stats", "reference")
dir.create(out_dir, showWarnings = FALSE, recursive = TRUE)

num <- function(x) {
  if (is.null(x) || length(x) == 0 || is.na(x) || !is.finite(x)) return("NA")
  if (x == 0) return("0")
  sprintf("%.17g", x)
}

# Cell texts with at most four decimals, as typed: trailing zeros dropped.
cell_text <- function(x) {
  s <- sprintf("%.4f", x)
  s <- sub("0+$", "", s)
  sub("\\.$", "", s)
}
cells_of <- function(x) paste(vapply(x, cell_text, ""), collapse = "|")
# A cell text joined as it stands (for empty cells and text that is not a number).
join_cells <- function(texts) paste(texts, collapse = "|")
# The numbers of a column of texts; NA for a cell that is empty or not a number.
values_of <- function(texts) suppressWarnings(as.numeric(texts))

count <- function(x) format(x, scientific = FALSE)
safe <- function(expr) tryCatch(suppressWarnings(expr), error = function(e) NA)

write_cases <- function(rows, file) {
  # Fields are read back without quoting: no case name may hold a comma.
  stopifnot(!any(grepl(",", vapply(rows, function(r) r$case, ""))))
  table <- do.call(rbind, lapply(rows, function(r) as.data.frame(r, stringsAsFactors = FALSE, optional = TRUE)))
  write.table(table, file.path(out_dir, file), sep = ",", quote = FALSE, row.names = FALSE, na = "NA")
  cat(file, ":", nrow(table), "cases\n")
}

# Shapiro-Wilk where R computes it: 3 to 5000 values, not all equal.
sw <- function(x) {
  if (length(x) < 3 || length(x) > 5000 || diff(range(x)) == 0) return(c(NA, NA))
  r <- shapiro.test(x)
  c(unname(r$statistic), r$p.value)
}

# The 95% limits of the noncentrality parameter of a t observed on df:
# P(T <= t | ncp) = 0.975 and 0.025.
ncp_limits <- function(t, df) {
  f <- function(ncp, target) pt(t, df, ncp) - target
  solve <- function(target) {
    lo <- t - 1; hi <- t + 1
    while (f(lo, target) < 0) lo <- lo - 2 * (t - lo + 1)
    while (f(hi, target) > 0) hi <- hi + 2 * (hi - t + 1)
    uniroot(f, c(lo, hi), target = target, tol = 1e-14, maxiter = 1000)$root
  }
  c(solve(0.975), solve(0.025))
}

# ----- Mode 0: two samples -----

two_sample_case <- function(id, summary, x = NULL, y = NULL) {
  # summary: the six box texts X1 S1 N1 X2 S2 N2.
  v <- as.numeric(summary)
  m1 <- v[1]; s1 <- v[2]; n1 <- v[3]; m2 <- v[4]; s2 <- v[5]; n2 <- v[6]
  # Data with exactly these summaries for t.test and var.test.
  make <- function(m, s, n) {
    if (n == 1) return(m)
    z <- seq_len(n) - (n + 1) / 2
    m + s * z / sd(z)
  }
  # Raw data go to t.test as they are; typed summaries through data made to measure.
  dx <- if (is.null(x)) make(m1, s1, n1) else x
  dy <- if (is.null(y)) make(m2, s2, n2) else y
  pooled <- safe(t.test(dx, dy, var.equal = TRUE))
  welch <- if (n1 > 1 && n2 > 1) safe(t.test(dx, dy, var.equal = FALSE)) else NA
  vt <- if (n1 > 1 && n2 > 1) safe(var.test(dx, dy)) else NA
  get <- function(r, f) if (is.list(r)) unname(f(r)) else NA
  df <- n1 + n2 - 2
  sc <- sqrt(((n1 - 1) * s1^2 + (n2 - 1) * s2^2) / df)
  d <- (m1 - m2) / sc
  k <- sqrt(1 / n1 + 1 / n2)
  lim <- ncp_limits(d / k, df) * k
  j <- if (df > 1) exp(lgamma(df / 2) - lgamma((df - 1) / 2)) / sqrt(df / 2) else NA
  row <- list(case = id, x1 = summary[1], s1 = summary[2], n1 = summary[3],
              x2 = summary[4], s2 = summary[5], n2 = summary[6],
              col1 = if (is.null(x)) "" else cells_of(x), col2 = if (is.null(y)) "" else cells_of(y),
              pooled.t = num(get(pooled, function(r) r$statistic)),
              pooled.df = num(get(pooled, function(r) r$parameter)),
              pooled.p = num(get(pooled, function(r) r$p.value)),
              welch.t = num(get(welch, function(r) r$statistic)),
              welch.df = num(get(welch, function(r) r$parameter)),
              welch.p = num(get(welch, function(r) r$p.value)),
              var.F = num(get(vt, function(r) r$statistic)),
              var.df1 = num(get(vt, function(r) r$parameter[1])),
              var.df2 = num(get(vt, function(r) r$parameter[2])),
              var.p = num(get(vt, function(r) r$p.value)),
              diff = num(m1 - m2),
              pooled.ci.low = num(get(pooled, function(r) r$conf.int[1])),
              pooled.ci.high = num(get(pooled, function(r) r$conf.int[2])),
              welch.ci.low = num(get(welch, function(r) r$conf.int[1])),
              welch.ci.high = num(get(welch, function(r) r$conf.int[2])),
              cohen.d = num(d), cohen.d.ci.low = num(lim[1]), cohen.d.ci.high = num(lim[2]),
              hedges.g = num(j * d))
  raw <- !is.null(x) && !is.null(y)
  mw <- if (raw) wilcox.test(x, y) else NULL
  sw1 <- if (raw) sw(x) else c(NA, NA)
  sw2 <- if (raw) sw(y) else c(NA, NA)
  c(row, list(mw.U = if (raw) num(unname(mw$statistic)) else "NA",
              mw.p = if (raw) num(mw$p.value) else "NA",
              sw1.W = num(sw1[1]), sw1.p = num(sw1[2]), sw2.W = num(sw2[1]), sw2.p = num(sw2[2])))
}

# The boxes as the column summary fills them from raw data, at full precision.
raw_case <- function(id, x, y) {
  x <- as.numeric(vapply(x, cell_text, "")); y <- as.numeric(vapply(y, cell_text, ""))
  sdv <- function(v) if (length(v) > 1) sd(v) else 0
  two_sample_case(id, c(num(mean(x)), num(sdv(x)), length(x), num(mean(y)), num(sdv(y)), length(y)), x, y)
}

set.seed(20240801)
rows <- list()
add <- function(r) rows[[length(rows) + 1]] <<- r
# Summaries as typed: the textbook examples and other shapes.
add(two_sample_case("typed 18 df P<0.05", c("10", "2", "10", "12", "2", "10")))
add(two_sample_case("typed 18 df P<0.01", c("10", "2", "10", "13", "2", "10")))
add(two_sample_case("typed 18 df P<0.001", c("10", "2", "10", "15", "2", "10")))
add(two_sample_case("typed 18 df not significant", c("10", "2", "10", "11", "2", "10")))
add(two_sample_case("typed 25 df", c("5.2", "1.1", "12", "4.1", "1.3", "15")))
add(two_sample_case("typed unequal variances", c("20.5", "3.2", "8", "15.1", "9.8", "25")))
add(two_sample_case("typed large groups", c("100.2", "15", "600", "98.1", "14", "600")))
add(two_sample_case("typed small groups", c("3.3", "0.5", "3", "2.1", "0.2", "2")))
add(two_sample_case("typed negative means", c("-1.25", "0.75", "9", "-0.5", "0.6", "11")))
add(two_sample_case("typed negative SD", c("7", "-1.5", "6", "5", "2", "7")))
# Raw columns: rank tests exact below 50 per group without ties.
for (sizes in list(c(3, 3), c(3, 4), c(4, 5), c(5, 8), c(7, 6), c(10, 10), c(12, 15), c(20, 25), c(30, 18), c(49, 49)))
  add(raw_case(paste("normal", sizes[1], sizes[2]), rnorm(sizes[1], 50, 10), rnorm(sizes[2], 55, 12)))
add(raw_case("one value in group 1", 12.5, c(9.1, 10.4, 11.2, 8.7)))
add(raw_case("normal approximation 50 and 10", rnorm(50, 0, 1), rnorm(10, 1, 1)))
add(raw_case("normal approximation 60 and 70", rnorm(60, 100, 15), rnorm(70, 94, 15)))
add(raw_case("skewed", rexp(15, 1), rexp(20, 0.5)))
add(raw_case("negative values", -rexp(12, 2), rnorm(9, -1, 0.3)))
add(raw_case("very unequal variances", rnorm(15, 10, 1), rnorm(15, 10, 6)))
add(raw_case("ties: scores 1 to 5", sample(1:5, 10, TRUE), sample(1:5, 12, TRUE)))
add(raw_case("ties: small", c(1, 2, 2, 3), c(2, 3, 3, 4, 5)))
add(raw_case("ties: 30 and 30", sample(0:10, 30, TRUE), sample(2:12, 30, TRUE)))
add(raw_case("no overlap", c(1.5, 2.25, 3.125, 4), c(10, 11.5, 12.75)))
add(raw_case("large groups", rnorm(300, 20, 4), rlnorm(250, 3, 0.2)))
add(raw_case("shapiro 11 and 12", rnorm(11), runif(12)))
write_cases(rows, "twosample.csv")

# ----- Mode 1: paired -----

paired_case <- function(id, first, second) {
  a <- values_of(first); b <- values_of(second)
  keep <- !is.na(a) & !is.na(b)
  x <- a[keep]; y <- b[keep]
  # Differences as the program forms them: exactly, in four decimals.
  d <- round(x - y, 4)
  n <- length(d)
  tt <- if (n >= 2 && sd(d) > 0) t.test(x, y, paired = TRUE) else NULL
  w <- safe(wilcox.test(d))
  s <- sw(d)
  list(case = id, col1 = join_cells(first), col2 = join_cells(second),
       paired.t = num(if (is.null(tt)) NA else unname(tt$statistic)),
       paired.df = num(if (is.null(tt)) NA else unname(tt$parameter)),
       paired.p = num(if (is.null(tt)) NA else tt$p.value),
       diff = num(if (n > 0) mean(d) else NA),
       ci.low = num(if (is.null(tt)) NA else tt$conf.int[1]),
       ci.high = num(if (is.null(tt)) NA else tt$conf.int[2]),
       dz = num(if (is.null(tt)) NA else mean(d) / sd(d)),
       sw.W = num(s[1]), sw.p = num(s[2]),
       wilcoxon.V = num(if (is.list(w)) unname(w$statistic) else NA),
       wilcoxon.p = num(if (is.list(w)) w$p.value else NA))
}
texts <- function(x) vapply(x, cell_text, "")
paired_random <- function(id, n, shift, sd, digits = 2) {
  x <- round(rnorm(n, 100, 15), digits)
  paired_case(id, texts(x), texts(round(x - shift + rnorm(n, 0, sd), digits)))
}

set.seed(20240802)
rows <- list()
add(paired_case("textbook", c("10", "12", "9", "14", "11"), c("8", "9", "9", "10", "8")))
add(paired_case("textbook swapped", c("8", "9", "9", "10", "8"), c("10", "12", "9", "14", "11")))
add(paired_case("two pairs", c("5", "7"), c("3", "4")))
add(paired_case("three pairs", c("1.5", "2.75", "3"), c("1", "2", "4")))
add(paired_case("incomplete rows skipped", c("10", "12", "9", "", "14", "11", "-", "7"),
                c("8", "9", "9", "5", "10", "8", "3", "")))
add(paired_case("zero differences", c("4", "5", "6", "7", "8", "9"), c("4", "3", "6", "5", "9", "6")))
add(paired_case("tied differences", c("1", "2", "3", "4", "5", "6", "7"), c("0", "1", "1", "2", "3", "3", "6")))
add(paired_case("decimal differences", c("0.3", "0.5", "0.7", "1.1", "0.2"), c("0.1", "0.3", "0.4", "0.6", "0.25")))
add(paired_case("negative values", c("-1.2", "-3.4", "-0.5", "-2.2", "-1.9", "-2.8"), c("-1", "-2.5", "-0.9", "-1.8", "-1.1", "-2.9")))
for (n in c(3, 4, 5, 6, 8, 10, 12, 15, 20, 30, 40, 49))
  add(paired_random(paste("normal", n), n, 3, 5))
add(paired_random("exactly 50 pairs", 50, 2, 6))
add(paired_random("120 pairs", 120, 1, 8))
add(paired_random("600 pairs", 600, 0.5, 10, 1))
add(paired_random("integer scores with ties", 25, 1, 2, 0))
add(paired_random("no change on average", 18, 0, 4))
add(paired_random("strong effect", 12, 15, 2))
x <- round(rnorm(16, 50, 5), 1)
add(paired_case("skewed differences", texts(x), texts(round(x - rexp(16, 0.3), 1))))
add(paired_case("all positive: exact", texts(1:9 + 0.5), texts(rep(0, 9))))
add(paired_case("large values", texts(c(100000.5, 100020.25, 100007, 99990, 100011)), texts(c(100001, 100013, 100002.5, 99985, 100009))))
write_cases(rows, "paired.csv")

# ----- Mode 2: correlation and regression -----

correlation_case <- function(id, first, second) {
  a <- values_of(first); b <- values_of(second)
  keep <- !is.na(a) & !is.na(b)
  x <- a[keep]; y <- b[keep]
  n <- length(x)
  ct <- cor.test(x, y)
  fit <- summary(lm(y ~ x))
  co <- fit$coefficients
  ci <- confint(lm(y ~ x))
  rho <- cor(x, y, method = "spearman")
  # Identical (or exactly reversed) ranks: rho is +-1 exactly, whatever the
  # rounding of cor().
  if (all(rank(x) == rank(y))) rho <- 1
  if (all(rank(x) == n + 1 - rank(y))) rho <- -1
  # Spearman's P by the t approximation on n - 2 df (cor.test's own P for
  # Spearman is exact or Edgeworth-based, a different method). A perfect rank
  # correlation has no finite t: the program gives no P rather than P = 0.
  ts <- if (abs(rho) < 1) rho * sqrt((n - 2) / (1 - rho^2)) else NA
  list(case = id, col1 = join_cells(first), col2 = join_cells(second),
       r = num(unname(ct$estimate)), r.p = num(ct$p.value),
       r.ci.low = num(if (n >= 4) ct$conf.int[1] else NA), r.ci.high = num(if (n >= 4) ct$conf.int[2] else NA),
       r2 = num(fit$r.squared),
       slope = num(co[2, 1]), slope.se = num(co[2, 2]), slope.t = num(co[2, 3]), slope.p = num(co[2, 4]),
       slope.ci.low = num(ci[2, 1]), slope.ci.high = num(ci[2, 2]),
       intercept = num(co[1, 1]), intercept.se = num(co[1, 2]), intercept.t = num(co[1, 3]),
       intercept.p = num(co[1, 4]), intercept.ci.low = num(ci[1, 1]), intercept.ci.high = num(ci[1, 2]),
       resid.sd = num(fit$sigma),
       spearman.rho = num(rho), spearman.p = num(2 * pt(-abs(ts), n - 2)))
}
correlation_random <- function(id, n, slope, noise, digits = 2, centre = 0) {
  x <- round(centre + runif(n, 0, 20), digits)
  y <- round(3 + slope * (x - centre) + rnorm(n, 0, noise), digits)
  correlation_case(id, texts(x), texts(y))
}

set.seed(20240803)
rows <- list()
add(correlation_case("textbook positive", c("1", "2", "3", "4", "5"), c("2.1", "3.9", "6.2", "7.8", "10.1")))
add(correlation_case("textbook negative", c("2", "4", "6", "8"), c("9", "7", "8", "3")))
add(correlation_case("three points", c("1", "2", "3"), c("2", "5", "5.5")))
add(correlation_case("incomplete rows skipped", c("1", "2", "", "4", "5", "x", "7"), c("1.5", "2.5", "9", "3.5", "6", "1", "")))
add(correlation_case("ties in both", c("1", "2", "2", "3", "3", "3", "4", "5"), c("2", "2", "3", "3", "5", "4", "6", "6")))
add(correlation_case("no correlation", c("1", "2", "3", "4", "5", "6"), c("3", "1", "4", "1", "5", "2")))
add(correlation_case("negative values", c("-5", "-3.5", "-1", "0", "2.5", "4"), c("10.5", "7", "6.25", "3", "-1", "-2.75")))
for (n in c(4, 5, 6, 7, 8, 10, 12, 15, 20, 25, 30, 50))
  add(correlation_random(paste("random", n), n, 0.8, 4))
add(correlation_random("strong negative", 15, -2, 1.5))
add(correlation_random("weak", 40, 0.1, 6))
add(correlation_random("large n", 400, 0.3, 5, 1))
add(correlation_random("integer ties", 30, 0.5, 3, 0))
add(correlation_random("far from zero", 20, 1.2, 2, 2, 10000))
add(correlation_random("small values", 12, 0.05, 0.01, 4))
add(correlation_random("flat slope", 25, 0, 1))
add(correlation_random("random 3", 3, 1, 3))
add(correlation_random("random 9", 9, -0.4, 2))
add(correlation_random("random 100", 100, 0.2, 5, 1))
add(correlation_random("random 1000", 1000, -0.05, 3, 3))
add(correlation_case("curved", texts(1:10), texts(c(1, 3.5, 4, 7, 6.5, 6, 4, 3.5, 2, 0.5))))
add(correlation_case("one outlier", texts(c(1, 2, 3, 4, 5, 6, 7, 8, 30)), texts(c(2, 1, 4, 3, 6, 5, 8, 7, 90))))
write_cases(rows, "correlation.csv")

# ----- Modes 3 and 4: the 2x2 table -----

four_fold_case <- function(id, a, b, c, d) {
  tab <- matrix(c(a, c, b, d), 2)   # rows: trial, control; columns: +, -
  n <- a + b + c + d
  row1 <- a + b; row2 <- c + d; col1 <- a + c; col2 <- b + d
  expected <- c(row1 * col1, row1 * col2, row2 * col1, row2 * col2) / n
  plain <- safe(chisq.test(tab, correct = FALSE))
  yates <- safe(chisq.test(tab, correct = TRUE))
  fisher_test <- fisher.test(tab)
  fisher <- fisher_test$p.value
  lower <- phyper(a - 1, row1, row2, col1) + dhyper(a, row1, row2, col1) / 2
  upper <- phyper(a, row1, row2, col1, lower.tail = FALSE) + dhyper(a, row1, row2, col1) / 2
  midp <- min(1, 2 * min(lower, upper))
  # The P that agrees with fisher.test's central interval: twice the smaller
  # one-sided P. Its estimate and interval are fisher.test's, solved here
  # again over dhyper to full precision (fisher.test's uniroot stops at
  # about four digits, a large upper limit at two: checked against below); none where a cell at the end
  # of the support makes them 0 or infinite.
  central <- min(1, 2 * min(phyper(a, row1, row2, col1), phyper(a - 1, row1, row2, col1, lower.tail = FALSE)))
  support <- max(0, col1 - row2):min(row1, col1)
  support_end <- a == min(support) || a == max(support)
  cmle <- NA; cmle_ci <- c(NA, NA)
  if (!support_end) {
    logd <- dhyper(support, row1, row2, col1, log = TRUE)
    dn <- function(lt) { w <- exp(logd + support * lt - max(logd + support * lt)); w / sum(w) }
    solve <- function(f) exp(uniroot(f, c(-2, 2), extendInt = "yes", tol = 1e-14)$root)
    cmle <- solve(function(lt) sum(support * dn(lt)) - a)
    cmle_ci <- c(solve(function(lt) sum(dn(lt)[support >= a]) - 0.025),
                 solve(function(lt) sum(dn(lt)[support <= a]) - 0.025))
    stopifnot(abs(cmle / fisher_test$estimate - 1) < 1e-3, all(abs(cmle_ci / fisher_test$conf.int - 1) < 5e-2))
  }
  # Miettinen's test-based interval OR^(1 -+ z / chi) from each chi-square.
  test_based <- function(r) {
    if (is.na(or) || or == 0 || !is.list(r) || !is.finite(r$statistic) || r$statistic <= 0) return(c(NA, NA))
    k <- z / sqrt(unname(r$statistic))
    sort(c(or^(1 - k), or^(1 + k)))
  }
  z <- qnorm(0.975)
  or <- if (b * c > 0) a * d / (b * c) else NA
  or_se <- if (min(a, b, c, d) > 0) sqrt(1 / a + 1 / b + 1 / c + 1 / d) else NA
  p1 <- a / row1; p2 <- c / row2
  rr <- if (c > 0) p1 / p2 else NA
  rr_se <- if (a > 0 && c > 0) sqrt(1 / a - 1 / row1 + 1 / c - 1 / row2) else NA
  rd <- p1 - p2
  rd_se <- sqrt(p1 * (1 - p1) / row1 + p2 * (1 - p2) / row2)
  method <- if (n < 40 || min(expected) < 1) "fisher" else if (min(expected) < 5) "yates" else "chi2"
  chosen <- switch(method, fisher = central,
                   yates = if (is.list(yates)) yates$p.value else NA,
                   chi2 = if (is.list(plain)) plain$p.value else NA)
  nnt <- if (!is.na(chosen) && chosen < 0.05 && rd != 0) 1 / abs(rd) else NA
  stat <- function(r, f) if (is.list(r) && is.finite(r$statistic)) unname(f(r)) else NA
  list(case = id, a = count(a), b = count(b), c = count(c), d = count(d),
       chi2 = num(stat(plain, function(r) r$statistic)), chi2.p = num(stat(plain, function(r) r$p.value)),
       yates = num(stat(yates, function(r) r$statistic)), yates.p = num(stat(yates, function(r) r$p.value)),
       fisher.p = num(fisher), fisher.midp = num(midp),
       or = num(or), or.ci.low = num(exp(log(or) - z * or_se)), or.ci.high = num(exp(log(or) + z * or_se)),
       rr = num(rr), rr.ci.low = num(exp(log(rr) - z * rr_se)), rr.ci.high = num(exp(log(rr) + z * rr_se)),
       rd = num(rd), rd.ci.low = num(rd - z * rd_se), rd.ci.high = num(rd + z * rd_se),
       nnt = num(nnt), method = method,
       fisher.central.p = num(central), or.cmle = num(cmle),
       or.cmle.ci.low = num(cmle_ci[1]), or.cmle.ci.high = num(cmle_ci[2]),
       or.chi2.ci.low = num(test_based(plain)[1]), or.chi2.ci.high = num(test_based(plain)[2]),
       or.yates.ci.low = num(test_based(yates)[1]), or.yates.ci.high = num(test_based(yates)[2]))
}

set.seed(20240804)
rows <- list()
tables <- list(
  c(30, 10, 15, 25), c(1, 19, 8, 12), c(10, 5, 3, 12), c(0, 20, 1, 30), c(12, 0, 5, 9),
  c(0, 10, 0, 15), c(5, 5, 5, 5), c(3, 7, 7, 3), c(2, 3, 4, 1), c(1, 0, 0, 1), c(0, 5, 5, 0),
  c(20, 20, 20, 20), c(45, 5, 30, 20), c(300, 100, 150, 250), c(3000, 1000, 1500, 2500),
  c(25, 15, 18, 22), c(8, 32, 2, 38), c(40, 0, 35, 5), c(6, 14, 14, 6), c(11, 9, 10, 10),
  c(60, 40, 52, 48), c(9, 1, 2, 8), c(100, 900, 80, 920), c(4, 46, 1, 49), c(0, 50, 6, 44),
  c(13, 27, 7, 33), c(1, 1, 1, 37), c(15, 5, 5, 15), c(200, 300, 150, 350), c(2, 98, 10, 90),
  c(1, 3, 9, 1), c(1, 10, 14, 15))
for (t in tables) add(four_fold_case(paste(t, collapse = " "), t[1], t[2], t[3], t[4]))
for (i in 1:6) {
  t <- rpois(4, sample(c(3, 12, 40, 150), 1))
  add(four_fold_case(paste("random", paste(t, collapse = " ")), t[1], t[2], t[3], t[4]))
}
write_cases(rows, "fourfold.csv")

paired_table_case <- function(id, a, b, c, d) {
  tab <- matrix(c(a, c, b, d), 2)   # rows: after +, -; columns: before +, -
  n <- a + b + c + d
  z <- qnorm(0.975)
  plain <- if (b + c > 0) mcnemar.test(tab, correct = FALSE) else NULL
  corrected <- if (b + c > 0) mcnemar.test(tab, correct = TRUE) else NULL
  exact <- if (b + c > 0) binom.test(b, b + c, 0.5)$p.value else NA
  pdiff <- (b - c) / n
  pdiff_se <- sqrt((b + c) - (b - c)^2 / n) / n
  mor <- if (c > 0) b / c else NA
  mor_se <- if (b > 0 && c > 0) sqrt(1 / b + 1 / c) else NA
  # binom.test's Clopper-Pearson interval of b / (b + c) as odds.
  mor_exact <- if (b > 0 && c > 0) binom.test(b, b + c, 0.5)$conf.int else c(NA, NA)
  mor_exact <- mor_exact / (1 - mor_exact)
  # Cohen's kappa; SE of Fleiss, Cohen and Everitt (1969), written out over
  # the cells of the table.
  p <- tab / n
  rows_p <- rowSums(p); cols_p <- colSums(p)
  pe <- sum(rows_p * cols_p)
  kappa <- if (pe < 1) (sum(diag(p)) - pe) / (1 - pe) else NA
  kappa_se <- NA
  if (!is.na(kappa)) {
    total <- 0
    for (i in 1:2) for (j in 1:2) {
      if (i == j) total <- total + p[i, i] * (1 - (rows_p[i] + cols_p[i]) * (1 - kappa))^2
      else total <- total + (1 - kappa)^2 * p[i, j] * (cols_p[i] + rows_p[j])^2
    }
    total <- total - (kappa - pe * (1 - kappa))^2
    kappa_se <- sqrt(max(0, total) / (n * (1 - pe)^2))
  }
  list(case = id, a = count(a), b = count(b), c = count(c), d = count(d),
       mcnemar = num(if (is.null(plain)) NA else unname(plain$statistic)),
       mcnemar.p = num(if (is.null(plain)) NA else plain$p.value),
       mcnemar.cc = num(if (is.null(corrected)) NA else unname(corrected$statistic)),
       mcnemar.cc.p = num(if (is.null(corrected)) NA else corrected$p.value),
       exact.p = num(exact),
       pdiff = num(pdiff), pdiff.ci.low = num(pdiff - z * pdiff_se), pdiff.ci.high = num(pdiff + z * pdiff_se),
       mor = num(mor), mor.ci.low = num(exp(log(mor) - z * mor_se)), mor.ci.high = num(exp(log(mor) + z * mor_se)),
       kappa = num(kappa), kappa.ci.low = num(kappa - z * kappa_se), kappa.ci.high = num(kappa + z * kappa_se),
       mor.exact.ci.low = num(mor_exact[1]), mor.exact.ci.high = num(mor_exact[2]))
}

set.seed(20240805)
rows <- list()
tables <- list(
  c(40, 25, 10, 30), c(20, 30, 12, 15), c(10, 20, 20, 10), c(5, 10, 10, 5), c(12, 0, 6, 20),
  c(12, 6, 0, 20), c(30, 0, 0, 25), c(1, 1, 1, 1), c(0, 3, 1, 0), c(50, 5, 15, 30),
  c(100, 12, 30, 200), c(7, 2, 9, 4), c(3, 17, 2, 8), c(25, 25, 25, 25), c(60, 1, 9, 30),
  c(0, 8, 2, 0), c(15, 3, 4, 18), c(90, 40, 41, 60), c(2, 0, 1, 7), c(33, 7, 21, 39),
  c(8, 12, 3, 2), c(400, 35, 62, 503), c(11, 4, 4, 11), c(0, 1, 0, 5), c(6, 1, 1, 6),
  c(14, 9, 1, 16), c(20, 0, 1, 0))
for (t in tables) add(paired_table_case(paste(t, collapse = " "), t[1], t[2], t[3], t[4]))
for (i in 1:6) {
  t <- rpois(4, sample(c(4, 15, 50, 120), 1))
  add(paired_table_case(paste("random", paste(t, collapse = " ")), t[1], t[2], t[3], t[4]))
}
write_cases(rows, "pairedtable.csv")
