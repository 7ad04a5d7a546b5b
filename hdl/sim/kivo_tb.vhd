-- Testbench: the trace BFM drives the reference design over the internal bus.
library ieee;
use ieee.std_logic_1164.all;

entity kivo_tb is
  generic (
    trace_file : string := "kivo.tst";
    out_file   : string := "kivo.out";
    ms_time    : time := 1 us;
    poll_limit : natural := 2147483647
  );
end entity;

architecture sim of kivo_tb is
  constant clk_period : time := 10 ns;
  signal clk       : std_logic := '0';
  signal rst       : std_logic := '1';
  signal bus_addr  : std_logic_vector(31 downto 0);
  signal bus_wdata : std_logic_vector(7 downto 0);
  signal bus_we    : std_logic;
  signal bus_re    : std_logic;
  signal bus_rdata : std_logic_vector(7 downto 0);
  signal done      : std_logic;
  signal board_reset : std_logic;
begin
  clk <= not clk after clk_period / 2;
  rst <= '0' after 2 * clk_period;

  bfm : entity work.kivo_trace_bfm
    generic map (trace_file => trace_file, out_file => out_file, ms_time => ms_time,
                 poll_limit => poll_limit, reset_cycles => 3)
    port map (clk => clk, bus_addr => bus_addr, bus_wdata => bus_wdata, bus_we => bus_we,
              bus_re => bus_re, bus_rdata => bus_rdata, done => done);

  design : entity work.kivo_design
    port map (clk => clk, rst => rst, bus_addr => bus_addr, bus_wdata => bus_wdata,
              bus_we => bus_we, bus_re => bus_re, bus_rdata => bus_rdata,
              board_reset => board_reset);
end architecture;
