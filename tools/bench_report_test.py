#!/usr/bin/env python3
"""Checks bench_report.py's reading of reports and targets on small made-up
reports (no timing involved). Run: python3 tools/bench_report_test.py"""
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench_report  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def entry(run_name, aggregate, cpu, pixels, unit="ns"):
    return {"name": f"{run_name}_{aggregate}", "run_name": run_name, "run_type": "aggregate",
            "aggregate_name": aggregate, "cpu_time": cpu, "real_time": cpu * 2,
            "time_unit": unit, "pixels": pixels}


def write_report(entries):
    f = tempfile.NamedTemporaryFile("w", suffix=".json", delete=False)
    json.dump({"context": {}, "benchmarks": entries}, f)
    f.close()
    return f.name


class TargetsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(os.path.join(ROOT, "bench", "targets.json")) as f:
            cls.rules = json.load(f)["rules"]

    def test_24_bit_blends_keep_the_rle_target_and_sprites_a_floor(self):
        common = {("export", "sdl2-rle"): 0.3, ("scalar", "plain"): 1.2,
                  ("export@dll32", "export@dll64"): 1.15}
        got = bench_report.targets_for(self.rules, "blend-opaque/24/640x480")
        self.assertEqual(got, common)
        got = bench_report.targets_for(self.rules, "blend-sprite/24/640x480")
        self.assertEqual(got, {**common, ("export", "triad"): 5})

    def test_small_rectangles_compare_with_64x64_and_the_masked_store_loop(self):
        got = bench_report.targets_for(self.rules, "blend-sprite/565/16x16")
        self.assertEqual(got[("export", "export@64x64")], 2)
        self.assertEqual(got[("export", "maskstore")], 1.05)
        got = bench_report.targets_for(self.rules, "blend-sprite/565/64x64")
        self.assertNotIn(("export", "export@64x64"), got)
        got = bench_report.targets_for(self.rules, "frame/32/800x600")
        self.assertEqual(got[("export", "sdl2-rle")], 0.3)
        self.assertEqual(got[("export", "maskstore")], 1.05)

    def test_floor_limits_follow_the_size(self):
        got = bench_report.targets_for(self.rules, "night/565/3840x2160")
        self.assertEqual(got[("export", "in-place")], 1.15)
        self.assertEqual(got[("export", "sdl2")], 0.05)
        got = bench_report.targets_for(self.rules, "blend-sprite/32/64x64")
        self.assertEqual(got[("export", "triad")], 4)
        self.assertEqual(got[("export", "sdl2-rle")], 0.7)

    def test_sizes_without_a_limit_have_no_floor_target(self):
        got = bench_report.targets_for(self.rules, "blend-opaque/565/16x16")
        self.assertNotIn(("export", "triad"), got)
        self.assertIn(("export", "sdl2-rle"), got)


class ReportTest(unittest.TestCase):
    def test_load_keeps_medians_in_ns(self):
        path = write_report([entry("night/565/64x64/export", "mean", 99.0, 4096),
                             entry("night/565/64x64/export", "median", 2.0, 4096, unit="us"),
                             entry("night/565/64x64/in-place", "median", 1000.0, 4096)])
        _, runs = bench_report.load(path)
        os.unlink(path)
        self.assertEqual(runs["night/565/64x64"]["export"], (2000.0, 4096))
        self.assertAlmostEqual(bench_report.ns_per_px(runs, "night/565/64x64", "export"),
                               2000.0 / 4096)

    def test_rounds_take_each_entrys_median(self):
        paths = [write_report([entry("frame/24/800x600/export", "median", cpu, 1000)])
                 for cpu in (300.0, 100.0, 200.0)]
        runs = bench_report.load_rounds(paths)
        for path in paths:
            os.unlink(path)
        self.assertEqual(runs["frame/24/800x600"]["export"], (200.0, 1000))

    def test_judge_divides_by_the_peer_and_skips_missing_peers(self):
        runs = {"night/565/64x64": {"export": (2100.0, 4096), "in-place": (1000.0, 4096),
                                    "pixman": (10000.0, 4096)}}
        rules = [{"ops": ["night"], "peer": "in-place", "limit": {"64x64": 2}},
                 {"ops": ["night"], "peer": "pixman", "limit": 0.5},
                 {"ops": ["night"], "peer": "sdl2", "limit": 0.05}]
        got = {v[2]: v for v in bench_report.judge(runs, rules)}
        self.assertEqual(set(got), {"in-place", "pixman"})
        self.assertAlmostEqual(got["in-place"][3], 2.1)
        self.assertFalse(got["in-place"][5])
        self.assertTrue(got["pixman"][5])

    def test_judge_compares_sizes_builds_and_frames(self):
        runs = {"blend-sprite/565/16x16": {"export": (600.0, 256)},
                "blend-sprite/565/64x64": {"export": (4096.0, 4096)},
                "frame/565/800x600": {"export": (100.0, 1000), "sdl2-rle": (500.0, 1000)}}
        dll32 = {"frame/565/800x600": {"export": (130.0, 1000)}}
        dll64 = {"frame/565/800x600": {"export": (100.0, 1000)}}
        rules = [{"ops": ["blend-sprite"], "peer_size": "64x64", "limit": {"16x16": 2}},
                 {"ops": ["frame"], "peer": "sdl2-rle", "limit": 0.3},
                 {"build": "dll32", "peer_build": "dll64", "limit": 1.15}]
        got = {(v[0], v[2]): v for v in
               bench_report.judge(runs, rules, {"dll32": dll32, "dll64": dll64})}
        self.assertEqual(set(got), {("blend-sprite/565/16x16", "export@64x64"),
                                    ("frame/565/800x600", "sdl2-rle"),
                                    ("frame/565/800x600", "export@dll64")})
        size = got[("blend-sprite/565/16x16", "export@64x64")]
        self.assertAlmostEqual(size[3], (600.0 / 256) / 1.0)
        self.assertFalse(size[5])
        self.assertTrue(got[("frame/565/800x600", "sdl2-rle")][5])
        build = got[("frame/565/800x600", "export@dll64")]
        self.assertEqual(build[1], "export@dll32")
        self.assertAlmostEqual(build[3], 1.3)
        self.assertFalse(build[5])

    def test_readme_section_is_replaced_between_markers_only(self):
        with tempfile.NamedTemporaryFile("w", suffix=".md", delete=False) as f:
            f.write(f"before\n{bench_report.SUMMARY_BEGIN}\nold\n{bench_report.SUMMARY_END}\nafter\n")
        new = f"{bench_report.SUMMARY_BEGIN}\nnew\n{bench_report.SUMMARY_END}"
        bench_report.write_readme(f.name, new)
        with open(f.name) as g:
            self.assertEqual(g.read(), f"before\n{new}\nafter\n")
        with open(f.name, "w") as g:
            g.write("no markers\n")
        with self.assertRaises(SystemExit):
            bench_report.write_readme(f.name, new)
        os.unlink(f.name)


if __name__ == "__main__":
    unittest.main()
