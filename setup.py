"""The package zuva: the Python part from python/zuva and its compiled part zuva._zuva, built by
the project's CMake build (the target zuva_python) and copied into the wheel."""

import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


def version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(zuva VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    """Builds the module with CMake: in ZUVA_CMAKE_BUILD_DIR when set (a build folder to reuse),
    else in a folder of the build's own."""

    def build_extension(self, ext):
        build = pathlib.Path(os.environ.get("ZUVA_CMAKE_BUILD_DIR") or pathlib.Path(self.build_temp) / "cmake")
        build = build.resolve()
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                     "-DZUVA_LINE_TABLES=ON", "-DPython3_EXECUTABLE=" + sys.executable]
        if not (build / "CMakeCache.txt").exists() and shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        subprocess.check_call(configure)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 1)
        subprocess.check_call(["cmake", "--build", str(build), "--target", "zuva_python", "-j", jobs])
        built = sorted((build / "python" / "zuva").glob("_zuva*.so"))
        if not built:
            raise RuntimeError("the CMake build made no zuva/_zuva module in " + str(build))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built[0], target)


setup(
    version=version(),
    packages=["zuva"],
    package_dir={"zuva": "python/zuva"},
    package_data={"zuva": ["_zuva.pyi", "py.typed"]},
    ext_modules=[Extension("zuva._zuva", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # setuptools' own folders, apart from a CMake build folder named build.
    options={"build": {"build_base": "build/setuptools"}, "egg_info": {"egg_base": "build/setuptools"}},
    zip_safe=False,
)
