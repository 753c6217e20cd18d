# Reference values for sample size and power, from R.
#
#   Rscript tools/reference/make_power_reference.R [output folder]
#
# Writes power_t.csv, power_prop.csv, power_corr.csv and power_mcnemar.csv
# (default folder tests/stats/reference). Each row is one case: the effect,
# alpha, the target power and the present sizes, then the whole size the
# target needs ("NA" where none can be given) and the power of the present
# sizes. Numbers are written with 17 significant digits.
#
# Equal groups and pairs come from R's own power.t.test and power.prop.test
# (strict = TRUE: both rejection tails), the size as the ceiling of the
# root they find (solved to 1e-10 so that a root just below a whole number
# is not taken for it). Unequal groups, Fleiss' continuity correction,
# Fisher's z for r and Connor's formula for McNemar's test are the published
# formulas written out with R's pt, qt, pnorm and qnorm.

args <- commandArgs(trailingOnly = TRUE)
out_dir <- if (length(args) >= 1) args[1] else file.path("tests", "stats", "reference")
dir.create(out_dir, showWarnings = FALSE, recursive = TRUE)

num <- function(x) {
  if (is.null(x) || length(x) == 0 || is.na(x) || !is.finite(x)) return("NA")
  if (x == 0) return("0")
  sprintf("%.17g", x)
}

write_cases <- function(rows, file) {
  table <- do.call(rbind, lapply(rows, function(r) as.data.frame(r, stringsAsFactors = FALSE, optional = TRUE)))
  write.table(table, file.path(out_dir, file), sep = ",", quote = FALSE, row.names = FALSE, na = "NA")
  cat(file, ":", nrow(table), "cases\n")
}

tol <- 1e-10

# ----- t tests -----

# Power of a two-sample t test with groups n1, n2 (both tails), written out.
t2_power <- function(n1, n2, delta, sd, alpha) {
  df <- n1 + n2 - 2
  ncp <- abs(delta) / (sd * sqrt(1 / n1 + 1 / n2))
  q <- qt(alpha / 2, df, lower.tail = FALSE)
  pt(q, df, ncp, lower.tail = FALSE) + pt(-q, df, ncp)
}

t_case <- function(type, delta, sd, alpha, target, n1, n2 = n1, ratio = 1) {
  id <- sprintf("%s d%s sd%s a%s p%s n%s/%s k%s", type, delta, sd, alpha, target, n1, n2, ratio)
  if (type == "paired" || ratio == 1) {
    rtype <- if (type == "paired") "paired" else "two.sample"
    need <- ceiling(power.t.test(delta = delta, sd = sd, sig.level = alpha, power = target,
                                 type = rtype, strict = TRUE, tol = tol)$n)
  } else {
    # The smallest first group whose power, the second group at the ratio
    # rounded up, reaches the target.
    need <- 2
    while (t2_power(need, ceiling(ratio * need), delta, sd, alpha) < target) need <- need + 1
  }
  achieved <- if (type == "paired") {
    power.t.test(n = n1, delta = delta, sd = sd, sig.level = alpha, type = "paired", strict = TRUE)$power
  } else if (n1 == n2) {
    power.t.test(n = n1, delta = delta, sd = sd, sig.level = alpha, type = "two.sample", strict = TRUE)$power
  } else {
    t2_power(n1, n2, delta, sd, alpha)
  }
  list(case = id, type = type, delta = num(delta), sd = num(sd), alpha = num(alpha), target = num(target),
       ratio = num(ratio), n1 = num(n1), n2 = num(n2), n_required = num(need), achieved = num(achieved))
}

t_rows <- list(
  t_case("two", 1, 2, 0.05, 0.8, 10),
  t_case("two", -1, 2, 0.05, 0.8, 30),
  t_case("two", 2, 2, 0.05, 0.9, 12),
  t_case("two", 0.5, 1, 0.01, 0.8, 40),
  t_case("two", 0.3, 1, 0.05, 0.95, 100),
  t_case("two", 5, 10, 0.10, 0.8, 25),
  t_case("two", 1.2, 0.8, 0.05, 0.8, 5),
  t_case("two", 3.7, 4.2, 0.05, 0.85, 18),
  t_case("two", 0.02, 1, 0.05, 0.8, 1000),
  t_case("two", 0.002, 1, 0.05, 0.8, 100000),
  t_case("two", 12.5, 20.3, 0.001, 0.99, 60),
  t_case("two", 1, 1, 0.05, 0.5, 3),
  t_case("two", 0.8, 1.5, 0.05, 0.8, 10, 20, 2),
  t_case("two", 2, 3, 0.05, 0.9, 15, 5, 1 / 3),
  t_case("two", 1, 2, 0.01, 0.8, 8, 12, 1.5),
  t_case("two", -4.1, 6, 0.05, 0.8, 33, 50, 50 / 33),
  t_case("paired", 1, 2, 0.05, 0.8, 10),
  t_case("paired", -2.4, 1.5166, 0.05, 0.8, 5),
  t_case("paired", 0.5, 1, 0.01, 0.9, 20),
  t_case("paired", 0.2, 1, 0.05, 0.8, 200),
  t_case("paired", 3, 10, 0.10, 0.95, 50),
  t_case("paired", 0.01, 1, 0.05, 0.8, 5000),
  t_case("paired", 7.5, 12.25, 0.05, 0.85, 14),
  t_case("paired", 1, 0.5, 0.05, 0.8, 3),
  t_case("paired", 0.35, 0.9, 0.001, 0.99, 120)
)
write_cases(t_rows, "power_t.csv")

# ----- Two proportions -----

prop_power <- function(n1, n2, p1, p2, alpha) {
  k <- n2 / n1
  pbar <- (p1 + k * p2) / (1 + k)
  d <- abs(p1 - p2)
  s0 <- sqrt(pbar * (1 - pbar) * (1 + 1 / k))
  s1 <- sqrt(p1 * (1 - p1) + p2 * (1 - p2) / k)
  z <- qnorm(1 - alpha / 2)
  pnorm((d * sqrt(n1) - z * s0) / s1) + pnorm((-d * sqrt(n1) - z * s0) / s1)
}

# Fleiss, Levin and Paik (2003), 4.14 and the continuity correction 4.19.
fleiss_size <- function(p1, p2, k, alpha, target) {
  pbar <- (p1 + k * p2) / (1 + k)
  d <- abs(p1 - p2)
  n <- (qnorm(1 - alpha / 2) * sqrt((k + 1) * pbar * (1 - pbar)) + qnorm(target) * sqrt(k * p1 * (1 - p1) + p2 * (1 - p2)))^2 / (k * d^2)
  n / 4 * (1 + sqrt(1 + 2 * (k + 1) / (n * k * d)))^2
}

prop_case <- function(p1, p2, alpha, target, n1, n2 = n1) {
  id <- sprintf("p%s vs %s a%s p%s n%s/%s", p1, p2, alpha, target, n1, n2)
  ratio <- n2 / n1
  if (n1 == n2) {
    need <- ceiling(power.prop.test(p1 = p1, p2 = p2, sig.level = alpha, power = target, strict = TRUE, tol = tol)$n)
    achieved <- power.prop.test(n = n1, p1 = p1, p2 = p2, sig.level = alpha, strict = TRUE)$power
  } else {
    need <- 2
    while (prop_power(need, ceiling(ratio * need), p1, p2, alpha) < target) need <- need + 1
    achieved <- prop_power(n1, n2, p1, p2, alpha)
  }
  list(case = id, p1 = num(p1), p2 = num(p2), alpha = num(alpha), target = num(target), ratio = num(ratio),
       n1 = num(n1), n2 = num(n2), n_required = num(need),
       n_required_cc = num(ceiling(fleiss_size(p1, p2, ratio, alpha, target))), achieved = num(achieved))
}

prop_rows <- list(
  prop_case(0.75, 0.375, 0.05, 0.8, 40),
  prop_case(0.5, 0.75, 0.05, 0.8, 30),
  prop_case(0.1, 0.2, 0.05, 0.8, 100),
  prop_case(0.05, 0.1, 0.05, 0.9, 200),
  prop_case(0.3, 0.45, 0.01, 0.8, 80),
  prop_case(0.6, 0.4, 0.05, 0.95, 50),
  prop_case(0.9, 0.7, 0.10, 0.8, 25),
  prop_case(0.02, 0.04, 0.05, 0.8, 500),
  prop_case(0.5, 0.52, 0.05, 0.8, 2000),
  prop_case(0.25, 0.65, 0.001, 0.99, 20),
  prop_case(0.0, 0.3, 0.05, 0.8, 15),
  prop_case(1.0, 0.8, 0.05, 0.8, 35),
  prop_case(0.15, 0.35, 0.05, 0.85, 60),
  prop_case(0.4, 0.6, 0.05, 0.5, 10),
  prop_case(0.5, 0.25, 0.05, 0.8, 40, 80),
  prop_case(0.2, 0.1, 0.05, 0.8, 100, 300),
  prop_case(0.3, 0.6, 0.01, 0.9, 50, 25),
  prop_case(0.7, 0.5, 0.05, 0.8, 20, 30),
  prop_case(0.12, 0.05, 0.05, 0.9, 150, 75),
  prop_case(0.45, 0.3, 0.10, 0.8, 33, 47),
  prop_case(0.8, 0.95, 0.05, 0.8, 60, 90)
)
write_cases(prop_rows, "power_prop.csv")

# ----- Correlation: Fisher's z -----

corr_case <- function(r, alpha, target, n) {
  c <- atanh(abs(r))
  z <- qnorm(1 - alpha / 2)
  need <- ceiling(((z + qnorm(target)) / c)^2 + 3)
  shift <- c * sqrt(n - 3)
  list(case = sprintf("r%s a%s p%s n%s", r, alpha, target, n), r = num(r), alpha = num(alpha), target = num(target),
       n1 = num(n), n_required = num(need), achieved = num(pnorm(shift - z) + pnorm(-shift - z)))
}

corr_rows <- list(
  corr_case(0.3, 0.05, 0.8, 50), corr_case(-0.3, 0.05, 0.8, 50), corr_case(0.5, 0.05, 0.8, 20),
  corr_case(0.1, 0.05, 0.8, 500), corr_case(0.1, 0.01, 0.9, 100), corr_case(0.7, 0.05, 0.95, 10),
  corr_case(0.9, 0.05, 0.8, 5), corr_case(0.95, 0.001, 0.99, 8), corr_case(0.25, 0.10, 0.8, 40),
  corr_case(-0.6, 0.05, 0.85, 15), corr_case(0.05, 0.05, 0.8, 1000), corr_case(0.01, 0.05, 0.8, 30000),
  corr_case(0.4, 0.05, 0.5, 12), corr_case(0.998651755568965, 0.05, 0.8, 5), corr_case(-0.834497179245487, 0.05, 0.8, 4),
  corr_case(0.35, 0.01, 0.8, 60), corr_case(0.2, 0.05, 0.95, 200), corr_case(0.15, 0.05, 0.9, 300),
  corr_case(0.45, 0.05, 0.8, 4), corr_case(0.8, 0.01, 0.9, 9), corr_case(-0.12, 0.05, 0.8, 250)
)
write_cases(corr_rows, "power_corr.csv")

# ----- McNemar: Connor (1987) -----

mcnemar_case <- function(p10, p01, alpha, target, n) {
  psi <- p10 + p01
  delta <- p10 - p01
  z <- qnorm(1 - alpha / 2)
  need <- ceiling((z * sqrt(psi) + qnorm(target) * sqrt(psi - delta^2))^2 / delta^2)
  achieved <- pnorm((abs(delta) * sqrt(n) - z * sqrt(psi)) / sqrt(psi - delta^2))
  list(case = sprintf("p10 %s p01 %s a%s p%s n%s", p10, p01, alpha, target, n), p10 = num(p10), p01 = num(p01),
       alpha = num(alpha), target = num(target), n1 = num(n), n_required = num(need), achieved = num(achieved))
}

mcnemar_rows <- list(
  mcnemar_case(0.2, 0.1, 0.05, 0.8, 100), mcnemar_case(0.1, 0.2, 0.05, 0.8, 100), mcnemar_case(25 / 105, 10 / 105, 0.05, 0.8, 105),
  mcnemar_case(30 / 77, 12 / 77, 0.05, 0.8, 77), mcnemar_case(0.05, 0.15, 0.05, 0.9, 200), mcnemar_case(0.3, 0.1, 0.01, 0.8, 60),
  mcnemar_case(0.4, 0.35, 0.05, 0.8, 500), mcnemar_case(0.02, 0.01, 0.05, 0.8, 1000), mcnemar_case(0.25, 0.05, 0.10, 0.8, 30),
  mcnemar_case(0.15, 0.3, 0.001, 0.99, 150), mcnemar_case(0.5, 0.1, 0.05, 0.95, 40), mcnemar_case(0.01, 0.0, 0.05, 0.8, 800),
  mcnemar_case(0.6, 0.0, 0.05, 0.8, 10), mcnemar_case(0.12, 0.08, 0.05, 0.85, 400), mcnemar_case(0.33, 0.22, 0.05, 0.8, 90),
  mcnemar_case(0.2, 0.3, 0.05, 0.5, 70), mcnemar_case(0.45, 0.25, 0.01, 0.9, 120), mcnemar_case(0.07, 0.03, 0.05, 0.8, 250),
  mcnemar_case(0.5, 0.49, 0.05, 0.8, 5000), mcnemar_case(0.18, 0.06, 0.05, 0.8, 50), mcnemar_case(0.9, 0.05, 0.05, 0.8, 12)
)
write_cases(mcnemar_rows, "power_mcnemar.csv")
