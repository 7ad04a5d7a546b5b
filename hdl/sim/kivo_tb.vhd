-- Testbench: the trace BFM drives the reference design, over the internal bus (variant "bus")
-- or as a PC's port through the board-side EPP logic (variant "epp"); the design's I2C lines
-- carry the register device at 4A/4B, and its ADC controller reads the input model.
library ieee;
use ieee.std_logic_1164.all;

entity kivo_tb is
  generic (
    trace_file : string := "kivo.tst";
    out_file   : string := "kivo.out";
    ms_time    : time := 1 us;
    -- The same in nanoseconds, for the command line (GHDL cannot set a time generic there);
    -- 0 keeps ms_time.
    ms_ns      : natural := 0;
    poll_limit : natural := 2147483647;
    variant    : string := "bus";             -- "bus" or "epp"
    -- Clocks per ADC word; 0 picks one that suits the variant.
    adc_clocks : natural := 0
  );
end entity;

architecture sim of kivo_tb is
  constant clk_period : time := 10 ns;
  constant use_epp : boolean := variant = "epp";

  function script_ms return time is
  begin
    if ms_ns /= 0 then
      return ms_ns * 1 ns;
    end if;
    return ms_time;
  end function;

  -- A host that toggles an ADC input between polls of its counter must get each toggle in
  -- between two words: EPP cycles take several clocks each, so the words come slower there.
  function adc_word_clocks return positive is
  begin
    if adc_clocks /= 0 then
      return adc_clocks;
    elsif use_epp then
      return 256;
    end if;
    return 64;
  end function;

  signal clk       : std_logic := '0';
  signal rst       : std_logic := '1';
  signal bus_addr  : std_logic_vector(31 downto 0);
  signal bus_wdata : std_logic_vector(7 downto 0);
  signal bus_we    : std_logic;
  signal bus_re    : std_logic;
  signal bus_rdata : std_logic_vector(7 downto 0);
  signal bus_wait  : std_logic;
  signal done      : std_logic;
  signal board_reset : std_logic;
  signal i2c_scl, i2c_sda : std_logic;
  signal adc_channel : std_logic_vector(2 downto 0);
  signal adc_control : std_logic_vector(7 downto 0);
  signal adc_restart, adc_convert : std_logic;
  signal adc_code  : std_logic_vector(13 downto 0);
  -- The trace model's bus, and the bus as the EPP logic drives it.
  signal bfm_addr, epp_addr   : std_logic_vector(31 downto 0);
  signal bfm_wdata, epp_wdata : std_logic_vector(7 downto 0);
  signal bfm_we, bfm_re, epp_we, epp_re : std_logic;
  signal n_addr_strobe, n_data_strobe, n_write, n_wait : std_logic;
  signal port_data : std_logic_vector(7 downto 0);
begin
  assert variant = "bus" or variant = "epp"
    report "kivo_tb: the variant is bus or epp, not " & variant severity failure;

  clk <= not clk after clk_period / 2;
  rst <= '0' after 2 * clk_period;

  bfm : entity work.kivo_trace_bfm
    generic map (trace_file => trace_file, out_file => out_file, ms_time => script_ms,
                 poll_limit => poll_limit, epp => use_epp)
    port map (clk => clk, bus_addr => bfm_addr, bus_wdata => bfm_wdata, bus_we => bfm_we,
              bus_re => bfm_re, bus_rdata => bus_rdata, bus_wait => bus_wait,
              n_addr_strobe => n_addr_strobe, n_data_strobe => n_data_strobe, n_write => n_write,
              epp_data => port_data, n_wait => n_wait, done => done);

  epp_slave : entity work.kivo_epp_slave
    port map (clk => clk, rst => rst, n_addr_strobe => n_addr_strobe,
              n_data_strobe => n_data_strobe, n_write => n_write, data => port_data,
              n_wait => n_wait, bus_addr => epp_addr, bus_wdata => epp_wdata, bus_we => epp_we,
              bus_re => epp_re, bus_rdata => bus_rdata, bus_wait => bus_wait);

  bus_addr  <= epp_addr  when use_epp else bfm_addr;
  bus_wdata <= epp_wdata when use_epp else bfm_wdata;
  bus_we    <= epp_we    when use_epp else bfm_we;
  bus_re    <= epp_re    when use_epp else bfm_re;

  design : entity work.kivo_design
    generic map (adc_word_clocks => adc_word_clocks)
    port map (clk => clk, rst => rst, bus_addr => bus_addr, bus_wdata => bus_wdata,
              bus_we => bus_we, bus_re => bus_re, bus_rdata => bus_rdata, bus_wait => bus_wait,
              board_reset => board_reset, i2c_scl => i2c_scl, i2c_sda => i2c_sda,
              adc_channel => adc_channel, adc_control => adc_control, adc_restart => adc_restart,
              adc_convert => adc_convert, adc_code => adc_code);

  -- The board's pull-ups.
  i2c_scl <= 'H';
  i2c_sda <= 'H';
  i2c_device : entity work.kivo_i2c_register_device
    port map (scl => i2c_scl, sda => i2c_sda);

  adc_input : entity work.kivo_adc_input_model
    port map (clk => clk, channel => adc_channel, control => adc_control, restart => adc_restart,
              convert => adc_convert, code => adc_code);
end architecture;
