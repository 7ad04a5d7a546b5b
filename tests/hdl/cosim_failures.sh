#!/usr/bin/env bash
# kivo-cosim's ways of failing: each ends with its own code and a message, never in a wait,
# and the working directory is left as it was found.
#   cosim_failures.sh KIVO KIVO-COSIM
set -u
kivo=$1
cosim=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failed=0
check() {  # check WHAT EXPECTED-CODE GOT-CODE STDERR-FILE PATTERN
    if [ "$3" != "$2" ] || ! grep -q "$5" "$4"; then
        echo "FAIL $1: exit code $3 (expected $2), stderr:"
        cat "$4"
        failed=1
    fi
}

printf ':a\r\nreadbyte 10\r\ngoto a\r\n' > forever.txt
printf 'readbyte 10\r\n' > once.txt

# Without GHDL on PATH: one line that says how to get it.
mkdir nobin
for tool in bash dirname basename; do ln -s "$(command -v $tool)" nobin/; done
PATH=$work/nobin bash "$cosim" --kivo "$kivo" once.txt 2>err >/dev/null
check "no ghdl" 127 $? err "apt-get install ghdl"

# A run that never ends meets the time limit; the pipes go and kivo.tst of the user comes back.
printf 'mine' > kivo.tst
start=$SECONDS
"$cosim" --kivo "$kivo" --timeout 2 forever.txt 2>err >/dev/null
check "time limit" 124 $? err "time limit of 2 s"
[ $((SECONDS - start)) -lt 30 ] || { echo "FAIL time limit: took $((SECONDS - start)) s"; failed=1; }
[ "$(cat kivo.tst)" = mine ] && [ ! -e kivo.out ] || { echo "FAIL: kivo.tst not put back, or a pipe left"; failed=1; }

# A design that does not fit the testbench: GHDL's own message.
printf 'entity kivo_design is end;\narchitecture a of kivo_design is begin end;\n' > bad.vhd
"$cosim" --kivo "$kivo" --design bad.vhd once.txt 2>err >/dev/null
check "bad design" 125 $? err "could not build the testbench"

# A simulator that fails while running: the message and its report.
cat > stops.vhd <<'VHDL'
library ieee;
use ieee.std_logic_1164.all;
entity kivo_design is
  generic (adc_word_clocks : positive := 64);
  port (clk, rst : in std_logic; bus_addr : in std_logic_vector(31 downto 0);
        bus_wdata : in std_logic_vector(7 downto 0); bus_we, bus_re : in std_logic;
        bus_rdata : out std_logic_vector(7 downto 0); bus_wait : out std_logic;
        board_reset : out std_logic; i2c_scl, i2c_sda : inout std_logic;
        adc_channel : out std_logic_vector(2 downto 0); adc_control : out std_logic_vector(7 downto 0);
        adc_restart, adc_convert : out std_logic; adc_code : in std_logic_vector(13 downto 0));
end entity;
architecture a of kivo_design is
begin
  bus_rdata <= x"00";
  bus_wait <= '0';
  board_reset <= '0';
  i2c_scl <= 'Z';
  i2c_sda <= 'Z';
  adc_channel <= "000";
  adc_control <= x"00";
  adc_restart <= '0';
  adc_convert <= '0';
  process (clk) begin
    if rising_edge(clk) and bus_re = '1' then
      report "design gives up on the first read" severity failure;
    end if;
  end process;
end architecture;
VHDL
"$cosim" --kivo "$kivo" --design stops.vhd --timeout 60 forever.txt 2>err >/dev/null
check "simulation error" 125 $? err "design gives up on the first read"
[ -e kivo.out ] && { echo "FAIL: a pipe left after the simulation error"; failed=1; }
exit $failed
