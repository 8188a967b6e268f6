"""Builds the compiled module talvane._talvane with the project's CMake build (python/CMakeLists.txt), so that
pip and CTest compile it the same way. Set TALVANE_BUILD_DIR to reuse a configured build directory."""

import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE_DIR = pathlib.Path(__file__).resolve().parent.parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = pathlib.Path(os.environ.get("TALVANE_BUILD_DIR") or pathlib.Path(self.build_temp, "cmake"))
        if not (build_dir / "CMakeCache.txt").exists():
            subprocess.run(["cmake", "-S", str(SOURCE_DIR), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=Release",
                            "-DTALVANE_BUILD_TESTS=OFF", "-DTALVANE_BUILD_BENCH=OFF",
                            f"-DPython_EXECUTABLE={sys.executable}"], check=True)
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "talvane_python", "--parallel",
                        str(os.cpu_count() or 1)], check=True)
        built = next((build_dir / "python" / "talvane").glob("_talvane*.so"))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(ext_modules=[Extension("talvane._talvane", sources=[])], cmdclass={"build_ext": CMakeBuild})
